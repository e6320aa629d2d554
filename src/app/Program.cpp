#include "app/Program.h"

#include "app/Conventions.h"
#include "app/Places.h"
#include "app/MainWindow.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "app/NotesEditor.h"
#include "app/AboutWindow.h"

namespace corvane {

void CreateStartupWindows(TApplication& app) {
  // The first window created becomes the main window; the four others stay hidden until the end.
  Form1 = app.CreateForm<TForm1>();
  Form2 = app.CreateForm<TForm2>();
  Form3 = app.CreateForm<TForm3>();
  Form4 = app.CreateForm<TForm4>();
  Form5 = app.CreateForm<TForm5>();
}

int RunProgram(int argc, char** argv) {
  TApplication::Initialize(argc, argv);
  // Started outside a folder with the documents (an installed program started from the menu),
  // the program works in the user's own copy of them.
  SettleDocumentFolder();
  TApplication app;
  app.Title = "Corvane";
  try {
    CreateStartupWindows(app);
  } catch (const std::exception& e) {
    app.ShowException(e);
    return 1;
  }
  app.Run();
  return 0;
}

}  // namespace corvane

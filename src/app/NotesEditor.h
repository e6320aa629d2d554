// The notes editor: titles and rich-text bodies of the three notes, with a toolbar of clipboard
// commands and character and paragraph formatting applied to all three bodies at once.
#pragma once

#include <array>

#include "app/Conventions.h"

namespace corvane {

class TForm4 : public TForm {
 public:
  explicit TForm4(TComponent* owner);
  std::string ClassName() const override { return "TForm4"; }

  // Fills the editor for note 1..3: all three titles from the main window's labels and all three
  // bodies from their documents; only the chosen note's title field and body editor stay visible.
  void Fill(int note);
  // The three body editors, in the order every formatting command goes through them.
  std::array<TRichEdit*, 3> Editors();

 private:
  void PublishHandlers();
  // Flips the check mark of a toggle's menu item and gives every editor's selection the base
  // style of the first editor with or without the toggle's flag.
  void ToggleStyle(const char* item, TFontStyles flag);
  void ChooseFont();
  void ChooseColor();
  void AlignParagraphs(TAlignment alignment);
  // The first editor's selection size plus `delta`, given to the selection of every editor.
  void ChangeSize(int delta);
  // Close handler: the titles go back to the main window's labels, the bodies to their documents.
  void SaveNotes();
};

// Opens the notes editor on note 1..3 (a click on its title label on the main window).
void OpenNote(int note);

}  // namespace corvane

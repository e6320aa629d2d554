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
  // Writes the shown note's body when the user has changed it since it was loaded or last
  // saved (Ctrl+S, the autosave and the close all come here). When the document is no longer
  // what was read (another program or a second copy of this one wrote it), the user chooses:
  // keep mine, keep theirs, or save mine under a new name. False when the user turned back from
  // that choice; a write that fails raises.
  bool SaveShownNote();

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
  // Close handler: the titles go back to the main window's labels, the shown body to its
  // document. When the body cannot be written the user may still leave (and is told what is
  // not saved); otherwise the editor stays open.
  void SaveNotes(TCloseAction& action);
  // Ctrl+S: saves now; a failure shows its error and the editor goes on.
  void SaveNow();
  // The autosave, a moment after the last change; it reports a failure once until a save works.
  void Autosave();
  void NoteChanged();
  // Reads the note's document again into its editor (the user kept the other side's version).
  void Reload(int index);

  int shown_ = 0;  // index of the shown note
  std::array<TFileStamp, 3> stamps_{};  // each document as it was loaded or last saved
  TTimer* autosave_ = nullptr;
  bool autosaveFailed_ = false;
};

// How long the editor waits after the last change before it saves on its own.
inline constexpr int kAutosaveDelayMs = 3000;

// Opens the notes editor on note 1..3 (a click on its title label on the main window).
void OpenNote(int note);

}  // namespace corvane

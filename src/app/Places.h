// Where the program finds its documents and keeps its configuration file.
//
// The classic places come first: the documents in `dat/` under the working folder, the
// configuration file `corvane.ini` beside the program. An installed program (one whose documents
// lie in `share/corvane/dat` beside its `bin` folder) started from any other folder works on the
// user's own copy of the documents instead, in `$XDG_DATA_HOME/corvane/dat` (by default
// ~/.local/share/corvane/dat), made from the installed ones on first start; and it keeps its
// configuration file in `$XDG_CONFIG_HOME/corvane/` (by default ~/.config/corvane/) whenever the
// program's folder cannot or must not be written.
#pragma once

#include <string>

namespace corvane {

// What the choice depends on; FromEnvironment() reads it from the running program.
struct TPlaces {
  std::string workingFolder;  // the current working folder
  std::string programFolder;  // the folder holding the executable
  std::string home;           // $HOME (or the account's home folder)
  std::string dataHome;       // $XDG_DATA_HOME, empty when unset
  std::string configHome;     // $XDG_CONFIG_HOME, empty when unset

  static TPlaces FromEnvironment();

  // `share/corvane/dat` beside the program's `bin` folder.
  std::string InstalledDocuments() const;
  // True when the program runs from an installed tree (its installed documents exist). Such a
  // program's folder belongs to the package manager and is never written, even by root.
  bool IsInstalled() const;
  // $XDG_DATA_HOME/corvane (~/.local/share/corvane when unset or not absolute).
  std::string UserDataFolder() const;
  // $XDG_CONFIG_HOME/corvane (~/.config/corvane when unset or not absolute).
  std::string UserConfigFolder() const;
  // The configuration file: beside the program when its folder can be written and the program is
  // not an installed one; in UserConfigFolder() otherwise.
  std::string ConfigurationFile() const;
  // Where the notes' bodies (a1.rtf..a3.rtf) are kept: `dat` in the working folder, which start-up
  // has made the folder holding the documents.
  std::string NotesFolder() const;
  // The folder the program should work in so that `dat\…` names its documents: empty when the
  // working folder has `dat` itself, or when there is no installed copy and no user copy (the
  // program then runs as it always did and reports the missing documents by their names).
  std::string DocumentFolder() const;
};

// Copies every installed document the user's copy lacks into it (creating the folders), leaving
// the ones already there untouched: the notes a1.rtf..a3.rtf are the user's own after the first
// start. Returns false when the user's folder cannot be made.
bool CompleteUserDocuments(const std::string& installedDocuments, const std::string& userDataFolder);

// Start-up: when the working folder has no `dat`, completes the user's copy of the documents and
// makes the user's data folder the working folder. Leaves everything as it is otherwise.
void SettleDocumentFolder();

}  // namespace corvane

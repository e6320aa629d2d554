#include "app/Places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/core/Classes.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {
std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The XDG base folders count only when absolute; otherwise the default under the home folder.
std::string BaseFolder(const std::string& xdg, const std::string& home, const char* fallback) {
  if (!xdg.empty() && xdg.front() == '/') return xdg;
  return (fs::path(home) / fallback).string();
}

bool IsFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}
}  // namespace

TPlaces TPlaces::FromEnvironment() {
  TPlaces p;
  std::error_code ec;
  p.workingFolder = fs::current_path(ec).string();
  p.programFolder = fs::path(ParamStr0()).parent_path().string();
  p.home = Env("HOME");
  if (p.home.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) p.home = pw->pw_dir;
  }
  p.dataHome = Env("XDG_DATA_HOME");
  p.configHome = Env("XDG_CONFIG_HOME");
  return p;
}

std::string TPlaces::InstalledDocuments() const {
  if (programFolder.empty()) return {};
  return (fs::path(programFolder).parent_path() / "share" / "corvane" / "dat").string();
}

bool TPlaces::IsInstalled() const {
  const std::string docs = InstalledDocuments();
  return !docs.empty() && IsFolder(docs);
}

std::string TPlaces::UserDataFolder() const {
  return (fs::path(BaseFolder(dataHome, home, ".local/share")) / "corvane").string();
}

std::string TPlaces::UserConfigFolder() const {
  return (fs::path(BaseFolder(configHome, home, ".config")) / "corvane").string();
}

std::string TPlaces::ConfigurationFile() const {
  if (!IsInstalled() && !programFolder.empty() && ::access(programFolder.c_str(), W_OK) == 0)
    return (fs::path(programFolder) / "corvane.ini").string();
  return (fs::path(UserConfigFolder()) / "corvane.ini").string();
}

std::string TPlaces::NotesFolder() const { return (fs::path(workingFolder) / "dat").string(); }

std::string TPlaces::DocumentFolder() const {
  if (IsFolder(fs::path(workingFolder) / "dat")) return {};
  const std::string user = UserDataFolder();
  if (IsInstalled() || IsFolder(fs::path(user) / "dat")) return user;
  return {};
}

bool CompleteUserDocuments(const std::string& installedDocuments, const std::string& userDataFolder) {
  std::error_code ec;
  const fs::path target = fs::path(userDataFolder) / "dat";
  fs::create_directories(target, ec);
  if (!IsFolder(target)) return false;
  if (installedDocuments.empty() || !IsFolder(installedDocuments)) return true;
  for (fs::directory_iterator it(installedDocuments, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const fs::path copy = target / it->path().filename();
    if (fs::exists(copy, ec)) continue;
    // A document that cannot be copied is reported by its name when it is opened, as a missing
    // one always is.
    std::error_code copyError;
    if (fs::copy_file(it->path(), copy, copyError))
      fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, copyError);
  }
  return true;
}

void SettleDocumentFolder() {
  const TPlaces places = TPlaces::FromEnvironment();
  const std::string folder = places.DocumentFolder();
  if (folder.empty()) return;
  if (!CompleteUserDocuments(places.InstalledDocuments(), folder)) return;
  std::error_code ec;
  fs::current_path(folder, ec);
}

}  // namespace corvane

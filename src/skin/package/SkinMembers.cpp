#include "skin/package/SkinMembers.h"

#include <functional>
#include <utility>

namespace corvane {

namespace {

template <class Base>
using Factory = std::function<std::unique_ptr<Base>(const std::string&)>;

template <class Base, class T>
std::pair<std::string, Factory<Base>> Entry(const char* word) {
  return {word, [](const std::string& name) -> std::unique_ptr<Base> { return std::make_unique<T>(name); }};
}

const std::vector<std::pair<std::string, Factory<TskDataSkinObject>>>& ObjectTable() {
  static const std::vector<std::pair<std::string, Factory<TskDataSkinObject>>> table = {
      Entry<TskDataSkinObject, TskDataUserObject>("userobject"),
      Entry<TskDataSkinObject, TskDataSkinButton>("button"),
      Entry<TskDataSkinObject, TskDataSkinStdButton>("stdbutton"),
      Entry<TskDataSkinObject, TskDataSkinMainMenuBarButton>("mainmenubarbutton"),
      Entry<TskDataSkinObject, TskDataSkinAnimate>("animate"),
      Entry<TskDataSkinObject, TskDataSkinMenuItem>("menuitem"),
      Entry<TskDataSkinObject, TskDataSkinMainMenuBarItem>("mainmenubaritem"),
      Entry<TskDataSkinObject, TskDataSkinCaption>("caption"),
  };
  return table;
}

const std::vector<std::pair<std::string, Factory<TskDataSkinControl>>>& ControlTable() {
  static const std::vector<std::pair<std::string, Factory<TskDataSkinControl>>> table = {
      Entry<TskDataSkinControl, TskDataSkinPanelControl>("panel"),
      Entry<TskDataSkinControl, TskDataSkinExPanelControl>("expanel"),
      Entry<TskDataSkinControl, TskDataSkinButtonControl>("button"),
      Entry<TskDataSkinControl, TskDataSkinMenuButtonControl>("menubutton"),
      Entry<TskDataSkinControl, TskDataSkinCheckRadioControl>("checkradio"),
      Entry<TskDataSkinControl, TskDataSkinGaugeControl>("gauge"),
      Entry<TskDataSkinControl, TskDataSkinSplitterControl>("splitter"),
      Entry<TskDataSkinControl, TskDataSkinTrackBarControl>("trackbar"),
      Entry<TskDataSkinControl, TskDataSkinLabelControl>("label"),
      Entry<TskDataSkinControl, TskDataSkinStdLabelControl>("stdlabel"),
      Entry<TskDataSkinControl, TskDataSkinUpDownControl>("updown"),
      Entry<TskDataSkinControl, TskDataSkinGridControl>("grid"),
      Entry<TskDataSkinControl, TskDataSkinTabControl>("tab"),
      Entry<TskDataSkinControl, TskDataSkinMainMenuBar>("mainmenubar"),
      Entry<TskDataSkinControl, TskDataSkinControlBar>("controlbar"),
      Entry<TskDataSkinControl, TskDataSkinEditControl>("edit"),
      Entry<TskDataSkinControl, TskDataSkinMemoControl>("memo"),
      Entry<TskDataSkinControl, TskDataSkinListBox>("listbox"),
      Entry<TskDataSkinControl, TskDataSkinCheckListBox>("checklistbox"),
      Entry<TskDataSkinControl, TskDataSkinComboBox>("combobox"),
      Entry<TskDataSkinControl, TskDataSkinScrollBarControl>("scrollbar"),
      Entry<TskDataSkinControl, TskDataSkinSpinEditControl>("spinedit"),
      Entry<TskDataSkinControl, TskDataSkinScrollBoxControl>("scrollbox"),
      Entry<TskDataSkinControl, TskDataSkinTreeView>("treeview"),
      Entry<TskDataSkinControl, TskDataSkinListView>("listview"),
      Entry<TskDataSkinControl, TskDataSkinRichEdit>("richedit"),
      Entry<TskDataSkinControl, TskDataSkinBevel>("bevel"),
      Entry<TskDataSkinControl, TskDataSkinSlider>("slider"),
  };
  return table;
}

template <class Base, class Table>
std::unique_ptr<Base> Create(const Table& table, const std::string& type, const std::string& name) {
  for (const auto& [word, make] : table)
    if (word == type) return make(name);  // type words match exactly, letter case included
  return nullptr;
}

template <class Table>
std::vector<std::string> Words(const Table& table) {
  std::vector<std::string> out;
  for (const auto& e : table) out.push_back(e.first);
  return out;
}

}  // namespace

std::unique_ptr<TskDataSkinObject> CreateSkinObject(const std::string& type, const std::string& name) {
  return Create<TskDataSkinObject>(ObjectTable(), type, name);
}

std::unique_ptr<TskDataSkinControl> CreateSkinControl(const std::string& type, const std::string& name) {
  return Create<TskDataSkinControl>(ControlTable(), type, name);
}

const std::vector<std::string>& SkinObjectTypes() {
  static const std::vector<std::string> words = Words(ObjectTable());
  return words;
}

const std::vector<std::string>& SkinControlTypes() {
  static const std::vector<std::string> words = Words(ControlTable());
  return words;
}

void SplitMemberEntry(const std::string& entry, std::string& name, std::string& type) {
  const size_t colon = entry.find(':');
  if (colon == std::string::npos) {
    name.clear();
    type.clear();
    return;
  }
  name = entry.substr(0, colon);
  type = entry.substr(colon + 1);
}

}  // namespace corvane

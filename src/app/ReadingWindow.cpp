#include "app/ReadingWindow.h"

#include "app/Catalogue.h"
#include "app/Journal.h"
#include "app/JournalWindow.h"
#include "controls/Button.h"
#include "platform/text/RichText.h"

namespace corvane {

namespace {
// Where the hexagram pictures sit in the upper box, and the figure inside a picture: line i
// (0 = bottom) is a 7-pixel bar whose top is kFigureBottom - (i + 1) * 7 - i * 4.
constexpr int kPictureLeft = 63, kPictureTop = 100, kPictureWidth = 81, kPictureHeight = 113;
constexpr int kFigureBottom = 103;
constexpr int kMarkLeft = kPictureLeft + kPictureWidth + 2, kMarkWidth = 14;
constexpr int kChangedLeft = kMarkLeft + kMarkWidth + 4;
constexpr int kMemoRight = 555;
constexpr TColor kVermilion = 0x002A3AC8;      // the red of the pictures' frames
constexpr TColor kMainPassage = 0x0070F0FF;    // the text a rule reads first
constexpr TColor kOtherPassage = 0x00C8F8FF;   // the others it names

// Length in the document view's units (UTF-16) of UTF-8 text.
int ViewLength(const std::string& utf8) {
  int n = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;
    n += c >= 0xF0 ? 2 : 1;
  }
  return n;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

std::string NameOf(const std::string& code) {
  const THexagram* h = FindHexagram(code);
  return h ? h->name : code;
}
}  // namespace

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [] { return static_cast<TForm*>(Form2); }, true);
  BuildFromLayout(this, "ReadingWindow.lfm");
  // The commentary takes the keyboard (it is the window's first stop), so Page Up, Page Down and
  // the arrows scroll it.
  Find<TRichEdit>(this, "richedit1")->TabStop = true;
}

TForm2::~TForm2() { *alive_ = false; }

void TForm2::Fill(const std::string& code) {
  Find<TRichEdit>(this, "richedit1")->LoadFromFile(DocumentPath(code));
  Find<TControl>(this, HexagramPicture(code))->Show();
}

std::vector<std::string> TForm2::RulesText() const { return Find<TMemo>(const_cast<TForm2*>(this), "Memo1")->Lines(); }

std::vector<int> TForm2::RuleLines(int rule) const {
  const std::vector<std::string> lines = RulesText();
  const std::string number = "(" + std::to_string(rule) + ")";
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string line = lines[i];
    if (StartsWith(line, kRuleMark)) line = line.substr(std::string(kRuleMark).size());
    if (out.empty()) {
      if (StartsWith(line, number)) out.push_back(i);
    } else if (line.empty() || StartsWith(line, "(")) {
      break;
    } else {
      out.push_back(i);  // the rule goes on over this line
    }
  }
  return out;
}

void TForm2::FillCast(const TCast& cast, int64_t journalId) {
  const std::string primary = cast.PrimaryCode(), changed = cast.ChangedCode();
  Fill(primary);
  cast_ = cast;
  journalId_ = journalId;
  const TReadingRule rule = SelectRule(cast);
  const bool moves = primary != changed;

  // The moving lines: ○ beside an old yang, × beside an old yin, level with its bar.
  for (int line = 1; line <= 6; ++line) {
    if (!cast.Moves(line)) continue;
    auto* mark = new TLabel(this);
    mark->SetParent(this);
    mark->Transparent = true;
    mark->Font().SetColor(kVermilion);
    mark->Font().SetStyle(fsBold);
    mark->Font().SetHeight(-11);  // lines are 11 pixels apart
    mark->SetCaption(cast.values[line - 1] == 9 ? "○" : "×");
    const int barTop = kPictureTop + kFigureBottom - line * 7 - (line - 1) * 4;
    mark->SetBounds(kMarkLeft, barTop - 2, kMarkWidth, 11);
    movingMarks_.push_back(mark);
  }
  if (moves) {
    auto* picture = new TImage(this);
    picture->SetParent(this);
    picture->SetBounds(kChangedLeft, kPictureTop, kPictureWidth, kPictureHeight);
    picture->Picture().LoadFromResourceName(HexagramPicture(changed) + ".jpg");
    picture->SetCursor(crHandPoint);
    picture->Hint = "之卦：" + NameOf(changed) + "（点击打开）";
    picture->ShowHint = true;
    picture->OnClick = [changed](TObject*) {
      // The changed hexagram's reading over this one; this window stays the current one after.
      TForm2* self = Form2;
      try {
        OpenModal(Form2, [&](TForm2& f) { f.Fill(changed); });
      } catch (...) {
        Form2 = self;
        throw;
      }
      Form2 = self;
    };
    changedPicture_ = picture;
    auto caption = [&](const std::string& text, int left) {
      auto* l = new TLabel(this);
      l->SetParent(this);
      l->Transparent = true;
      l->Font().SetColor(kVermilion);
      l->SetAutoSize(false);
      l->Alignment = TAlignment::taCenter;
      l->SetCaption(text);
      l->SetBounds(left, 88, kPictureWidth, 12);
    };
    caption("本卦", kPictureLeft);
    caption("之卦", kChangedLeft);
    // The rules text moves right of the changed hexagram. Its lines were broken for the full
    // width; narrower, a sentence broken over two lines is one line again and wraps as it fits.
    auto* memo = Find<TMemo>(this, "Memo1");
    const int left = kChangedLeft + kPictureWidth + 8;
    memo->SetBounds(left, memo->Top(), kMemoRight - left, memo->Height());
    std::vector<std::string> joined;
    for (const std::string& line : memo->Lines()) {
      const bool continues = !joined.empty() && !joined.back().empty() && !line.empty() && !StartsWith(line, "(") &&
                             !StartsWith(line, "义理") && joined.back().back() != ' ';
      if (continues) joined.back() += line;
      else joined.push_back(line);
    }
    memo->SetLines(joined);
  }
  MarkRule(rule.number);
  MarkPassages(rule, primary, changed);

  // The journal, at this cast.
  auto* journal = new TthButton(this);
  journal->SetName("journalButton");
  journal->SetParent(this);
  journal->SetUIStyle(TthUIStyle::WinXP);
  journal->SetCaption("起卦记录");
  journal->SetBounds(410, 50, 84, 26);
  journal->OnClick = [this](TObject*) {
    TForm2* self = Form2;
    try {
      OpenJournal(journalId_);
    } catch (...) {
      Form2 = self;
      throw;
    }
    Form2 = self;
  };
}

void TForm2::MarkRule(int rule) {
  auto* memo = Find<TMemo>(this, "Memo1");
  std::vector<std::string> lines = memo->Lines();
  const std::vector<int> marked = RuleLines(rule);
  for (int i : marked) lines[i] = kRuleMark + lines[i];
  memo->SetLines(lines);
  // The caret at the rule's first line, so the text shows it.
  int start = 0;
  for (int i = 0; i < marked.front(); ++i) start += ViewLength(lines[i]) + 1;
  memoCaret_ = start;
  ShowRuleAtTop();
}

void TForm2::ShowRuleAtTop() {
  // From the end back up to the rule: the text scrolls no further than to bring its line in, so
  // the rule's first line ends up at the top.
  auto* memo = Find<TMemo>(this, "Memo1");
  memo->SetSelection(memo->GetTextLen(), 0);
  memo->SetSelection(memoCaret_, 0);
}

void TForm2::MarkPassages(const TReadingRule& rule, const std::string& primary, const std::string& changed) {
  auto* view = Find<TRichEdit>(this, "richedit1");
  RichDocument doc = view->Document();
  const int primaryEnd = static_cast<int>(doc.Paragraphs.size());
  int changedBegin = primaryEnd;
  if (primary != changed) {
    // The changed hexagram's text follows the cast one's, under a heading of its own.
    const RichDocument other = LoadRichTextFile(DocumentPath(changed));
    RichCharFormat heading;
    if (!doc.Paragraphs.empty() && !doc.Paragraphs.front().Runs.empty()) heading = doc.Paragraphs.front().Runs.front().Format;
    heading.Bold = true;
    heading.Color = kVermilion;
    heading.Highlight = clDefault;
    RichParagraph blank, title;
    AppendText(title, "之卦：" + NameOf(changed), heading);
    doc.Paragraphs.push_back(blank);
    doc.Paragraphs.push_back(title);
    changedBegin = static_cast<int>(doc.Paragraphs.size());
    doc.Paragraphs.insert(doc.Paragraphs.end(), other.Paragraphs.begin(), other.Paragraphs.end());
  }
  const int end = static_cast<int>(doc.Paragraphs.size());

  auto find = [&](const TPassage& p) -> int {
    const int from = p.inChanged ? changedBegin : 0, to = p.inChanged ? end : primaryEnd;
    const std::string& code = p.inChanged ? changed : primary;
    for (int i = from; i < to; ++i) {
      const std::string text = doc.Paragraphs[i].Text();
      switch (p.kind) {
        case TPassage::Kind::Judgment:
          if (text == "卦辞")
            for (int k = i + 1; k < to; ++k)
              if (!doc.Paragraphs[k].Text().empty()) return k;
          break;
        case TPassage::Kind::Line:
          if (StartsWith(text, LineTitle(code, p.line) + "：")) return i;
          break;
        case TPassage::Kind::AllLines:
          if (StartsWith(text, "用九：") || StartsWith(text, "用六：")) return i;
          break;
      }
    }
    return -1;
  };
  std::vector<int> paragraphs;
  for (const TPassage& p : rule.passages) {
    const int i = find(p);
    if (i < 0) continue;  // a document without that text: nothing to mark
    for (RichRun& r : doc.Paragraphs[i].Runs) r.Format.Highlight = paragraphs.empty() ? kMainPassage : kOtherPassage;
    paragraphs.push_back(i);
  }
  view->SetDocument(doc);
  passagePositions_.clear();
  for (int target : paragraphs) {
    int pos = 0;
    for (int i = 0; i < target; ++i) pos += ViewLength(doc.Paragraphs[i].Text()) + 1;
    passagePositions_.push_back(pos);
  }
  if (!passagePositions_.empty()) view->ScrollToPosition(passagePositions_.front());
  // Both texts are laid out for good only once shown: scroll them again then.
  OnShow = [this](TObject*) {
    PostCall([this, alive = alive_] {
      if (!*alive) return;
      if (!passagePositions_.empty()) Find<TRichEdit>(this, "richedit1")->ScrollToPosition(passagePositions_.front());
      ShowRuleAtTop();
    });
  };
}

int64_t KeepInJournal(const TCast& cast, const std::string& method, const std::string& question) {
  try {
    return ProgramJournal().Add({0, JournalTimeNow(), method, question, cast.Code(), {}});
  } catch (const EJournalError& e) {
    Application->MessageBox(std::string(e.what()) + "\n\n这一卦没有记入起卦记录。", Application->Title, MB_OK | MB_ICONWARNING);
    return 0;
  }
}

void OpenCastReading(const TCast& cast, int64_t journalId) {
  OpenModal(Form2, [&](TForm2& f) { f.FillCast(cast, journalId); });
}

}  // namespace corvane

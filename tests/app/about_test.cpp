// The about window against a stand-in for the maker's site on the loopback interface: the page
// is asked for by every instance as it is created, once per opening, and an unreachable site
// shows the program's own about page without any message.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "controls/Button.h"
#include "platform/core/Encoding.h"
#include "platform/widgets/WebBrowser.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

// What the maker's about page says, written the way such sites often are: GB2312 declared in a
// meta tag, no charset in the header.
const char* const kAboutPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
    "<title>关于 Corvane</title></head><body>"
    "<p><b>Corvane 周易六十四卦</b></p>"
    "<p>本程序收录《周易》六十四卦的卦辞、爻辞与解说，可点选卦象或输入六爻代码查阅，"
    "并附占筮方法与三则自定义笔记。</p>"
    "<p>版本 1.0　Corvane 版权所有</p></body></html>";

// No test of this program reaches the maker's host: unless a test says otherwise, every about
// window asks a loopback port where nothing listens.
class OffTheNetwork : public ::testing::Environment {
 public:
  void SetUp() override {
    nowhere_ = std::make_unique<test::RefusingLoopbackPort>();
    gAboutPageAddress = nowhere_->Url("/about/");
  }
  void TearDown() override {
    gAboutPageAddress = kAboutPageAddress;
    nowhere_.reset();
  }
 private:
  std::unique_ptr<test::RefusingLoopbackPort> nowhere_;
};
[[maybe_unused]] ::testing::Environment* const kOffTheNetwork = ::testing::AddGlobalTestEnvironment(new OffTheNetwork);

class AboutWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::filesystem::current_path(test::SourceDir());
    server_ = new test::LoopbackHttpServer;
    server_->ServePage("/about/", Utf8ToGbk(kAboutPage), "text/html");
    previousAddress_ = gAboutPageAddress;
    gAboutPageAddress = server_->Url("/about/");
    CreateStartupWindows(*Application);
    startup_ = {Form1, Form2, Form3, Form4, Form5};
    main_ = Form1;
    startupAbout_ = Form5;
    main_->Show();
    Application->ProcessUntil([] { return !Browser(startupAbout_)->Busy(); }, 10000);
    startupRequests_ = server_->Requests("/about/");
  }
  static void TearDownTestSuite() {
    for (auto it = startup_.rbegin(); it != startup_.rend(); ++it) delete *it;
    Form1 = nullptr;
    delete server_;
    server_ = nullptr;
    gAboutPageAddress = previousAddress_;
  }
  void SetUp() override {
    std::filesystem::current_path(test::SourceDir());
    Form1 = main_;
    gAboutPageAddress = server_->Url("/about/");
  }
  static TWebBrowser* Browser(TForm* f) { return Find<TWebBrowser>(f, "WebBrowser1"); }
  // Opens the about window from its label and runs `inside` within its modal loop, then closes
  // it if it is still open.
  static void OpenAbout(const std::function<void(TForm*)>& inside) {
    PostCall([inside] {
      TForm* modal = Screen->ActiveForm();
      inside(modal);
      if (modal && modal->IsModal()) modal->Close();
    });
    Input::ClickOn(Find<TControl>(Form1, "Label6"), 3, 3);
  }
  static bool WaitForPage(TForm* f) {
    return Application->ProcessUntil([f] { return !Browser(f)->Busy(); }, 10000);
  }

  static test::LoopbackHttpServer* server_;
  static std::vector<TForm*> startup_;
  static TForm1* main_;
  static TForm* startupAbout_;
  static int startupRequests_;
  static std::string previousAddress_;
};
test::LoopbackHttpServer* AboutWindow::server_ = nullptr;
std::vector<TForm*> AboutWindow::startup_;
TForm1* AboutWindow::main_ = nullptr;
TForm* AboutWindow::startupAbout_ = nullptr;
int AboutWindow::startupRequests_ = 0;
std::string AboutWindow::previousAddress_;

}  // namespace

TEST_F(AboutWindow, StartUpAsksForThePageOnceAndKeepsTheWindowHidden) {
  EXPECT_EQ(startupRequests_, 1);
  EXPECT_FALSE(startupAbout_->Visible());
  EXPECT_TRUE(Browser(startupAbout_)->DocumentText().find("周易六十四卦") != std::string::npos);
  EXPECT_EQ(Browser(startupAbout_)->LocationName(), "关于 Corvane");
}

TEST_F(AboutWindow, TheWindowHoldsTheViewInsideThePanelBevelAboveTheOkButton) {
  TForm* f = startupAbout_;
  EXPECT_EQ(f->Caption(), "Form5");
  EXPECT_EQ(f->ClientWidth(), 550);
  EXPECT_EQ(f->ClientHeight(), 386);
  EXPECT_EQ(f->Color(), 64u);
  auto* image = Find<TImage>(f, "Image1");
  EXPECT_EQ(image->BoundsRect(), TRect(0, 0, 550, 386));
  EXPECT_FALSE(image->Picture().Empty());
  auto* panel = Find<TPanel>(f, "Panel1");
  EXPECT_EQ(panel->BoundsRect(), TRect(30, 56, 521, 305));
  EXPECT_EQ(panel->BevelOuter, TBevelCut::bvRaised);
  EXPECT_EQ(panel->BevelWidth, 1);
  EXPECT_EQ(panel->Color(), clWhite);
  TWebBrowser* web = Browser(f);
  EXPECT_EQ(web->Parent(), panel);
  EXPECT_EQ(web->BoundsRect(), TRect(1, 1, 490, 248));
  auto* ok = Find<TthButton>(f, "thButton3");
  EXPECT_EQ(ok->Caption(), "确定");
  EXPECT_EQ(ok->BoundsRect(), TRect(232, 328, 312, 355));
  EXPECT_EQ(panel->TabOrder(), 0);
  EXPECT_EQ(ok->TabOrder(), 1);
}

TEST_F(AboutWindow, EveryOpeningIsAFreshInstanceThatAsksForThePageAgain) {
  int before = server_->Requests("/about/");
  std::vector<std::string> texts;
  for (int i = 0; i < 2; ++i) {
    OpenAbout([&](TForm* f) {
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->ClassName(), "TForm5");
      EXPECT_NE(f, startupAbout_);
      EXPECT_EQ(static_cast<TForm*>(Form5), f);
      EXPECT_EQ(f->Left(), (Screen->Width() - f->Width()) / 2);
      ASSERT_TRUE(WaitForPage(f));
      texts.push_back(Browser(f)->DocumentText());
    });
  }
  EXPECT_EQ(server_->Requests("/about/"), before + 2);
  ASSERT_EQ(texts.size(), 2u);
  for (const std::string& t : texts) EXPECT_NE(t.find("本程序收录《周易》六十四卦"), std::string::npos) << t;
  EXPECT_EQ(Screen->FormCount(), 5);  // both instances are gone again
}

TEST_F(AboutWindow, TheOkButtonClosesTheWindowWithTheCancelResult) {
  TModalResult afterClick = mrNone;
  bool stillModal = true;
  OpenAbout([&](TForm* f) {
    Input::ClickOn(Find<TControl>(f, "thButton3"), 40, 13);
    afterClick = f->ModalResult();
    stillModal = f->ModalResult() == mrNone;
  });
  EXPECT_EQ(afterClick, mrCancel);
  EXPECT_FALSE(stillModal);
  EXPECT_EQ(Screen->FormCount(), 5);
  EXPECT_TRUE(Form1->Enabled());
}

TEST_F(AboutWindow, PressingOnTheBackgroundDoesNotMoveTheWindow) {
  TPoint before, after;
  OpenAbout([&](TForm* f) {
    before = {f->Left(), f->Top()};
    TPoint p = Find<TControl>(f, "Image1")->ClientToScreen({300, 330});
    PostCall([p] {
      Input::MouseMove({p.X + 40, p.Y + 20});
      Input::MouseUp({p.X + 40, p.Y + 20});
    });
    Input::MouseMove(p);
    Input::MouseDown(p);
    Application->ProcessMessages();
    after = {f->Left(), f->Top()};
  });
  EXPECT_EQ(after, before);
}

TEST_F(AboutWindow, AnUnreachableSiteShowsTheProgramsOwnAboutPageWithTheFailureOnOneLineAndNoMessage) {
  test::RefusingLoopbackPort closed;
  gAboutPageAddress = closed.Url("/about/");
  test::MessageBoxRecorder boxes;
  std::string text;
  bool errorPage = false;
  OpenAbout([&](TForm* f) {
    ASSERT_TRUE(WaitForPage(f));
    text = Browser(f)->DocumentText();
    errorPage = Browser(f)->ShowingErrorPage();
  });
  EXPECT_TRUE(errorPage);
  EXPECT_NE(text.find("Corvane 1.5"), std::string::npos) << text;
  EXPECT_NE(text.find(ConfigurationPath()), std::string::npos) << "where the titles are kept";
  EXPECT_NE(text.find((std::filesystem::current_path() / "dat").string() + "/a1.rtf"), std::string::npos)
      << "where the notes are kept";
  // The failure: one line naming the address and why.
  const size_t at = text.find(closed.Url("/about/"));
  ASSERT_NE(at, std::string::npos);
  const size_t begin = text.rfind('\n', at) + 1, end = text.find('\n', at);
  const std::string line = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
  EXPECT_NE(line.find("无法打开"), std::string::npos) << line;
  EXPECT_NE(line.find("拒绝连接"), std::string::npos) << line;
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(Screen->FormCount(), 5);
}

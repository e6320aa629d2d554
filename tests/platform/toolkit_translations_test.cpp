// The toolkit's own dialogs, menus and buttons speak the user's language when the system has the
// toolkit's translations for it; the program's own texts stay as they are.
#include <gtest/gtest.h>

#include "platform/windows/Forms.h"

using namespace corvane;

TEST(ToolkitTranslations, AChineseDesktopGetsTheToolkitsTextsInChineseAndOthersKeepEnglish) {
  ASSERT_TRUE(LoadToolkitTranslations("zh_CN")) << "the toolkit's translations are not installed";
  EXPECT_EQ(ToolkitText("QPlatformTheme", "OK"), "确定") << "the message box's button";
  EXPECT_EQ(ToolkitText("QLineEdit", "&Undo"), "撤消(&U)") << "a text field's right-click menu";
  EXPECT_EQ(ToolkitText("QLineEdit", "Cu&t"), "剪切(&T)");
  EXPECT_EQ(ToolkitText("QFontDialog", "Select Font"), "选择字体") << "the font dialog's title";
  EXPECT_EQ(ToolkitText("TForm1", "自定义之一"), "自定义之一") << "the program's own texts are left alone";

  EXPECT_FALSE(LoadToolkitTranslations("C")) << "no translations for the C locale";
  EXPECT_EQ(ToolkitText("QPlatformTheme", "OK"), "OK") << "loading replaces what was loaded before";
  LoadToolkitTranslations();  // back to the user's, as the program starts
}

#include "ui/win/UiHooks.h"

#include "core/MainFlowHooks.h"
#include "core/win/MainWindow.h"
#include "core/win/StubStartup.h"
#include "ui/LanguageStrings.h"
#include "ui/win/LanguageWin.h"
#include "ui/win/MsgBox.h"
#include "ui/win/ProgressWin.h"

namespace stub {

void InstallUserInterface() {
  LangSetupFromPlatform([] { return OwnPackage().LanguageBlock(); });
  MainFlowHooks& hooks = Hooks();
  hooks.mainWindowTitle = [] { return LangText("s0"); };
  hooks.languageCharset = [] { return LangCharset(); };
  hooks.setMessageBoxFont = [] {
    MsgBoxSetFont(LangFontName(), LangFontSize(), LangCharset());
    const MainWindowHandles& w = MainWindow();
    ProgressUseBars(w.progressBar, w.activityBar);
  };
}

}  // namespace stub

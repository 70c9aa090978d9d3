#include "foundation/MessageBoxes.h"

#include "platform/Dialogs.h"
#include "platform/WinConst.h"

int ShowMessageBox(cDialogs& dialogs, WindowHandle owner, const std::string& text, const std::string& caption,
                   uint32_t style)
{
    static const std::vector<cButtonText> ENGLISH_BUTTONS = {{IDOK, "OK"}, {IDYES, "Yes"}, {IDNO, "No"}};
    return dialogs.MessageBoxWithButtonTexts(owner, text, caption, style, ENGLISH_BUTTONS);
}

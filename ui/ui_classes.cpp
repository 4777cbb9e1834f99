#include "ui/ui_classes.h"

#include "runtime/interp/process_hooks.h"
#include "ui/ci_animation.h"
#include "ui/ci_button_controls.h"
#include "ui/ci_edit.h"
#include "ui/ci_font.h"
#include "ui/ci_list_controls.h"
#include "ui/ci_menu.h"
#include "ui/ci_message_box.h"
#include "ui/ci_range_controls.h"
#include "ui/ci_rich_edit.h"
#include "ui/ci_static_text.h"
#include "ui/ci_window.h"
#include "ui/member_tables.h"

namespace {

void RegisterWindowClassAtStart() { RegisterMainWindowClass(); }

}  // namespace

void RegisterUiClasses() {
    RegisterUiClassTables();
    RegisterFontClass();
    RegisterWindowClass();
    RegisterMessageBoxClass();
    RegisterButtonClasses();
    RegisterStaticTextClass();
    RegisterListClasses();
    RegisterAnimationClass();
    RegisterMenuClass();
    RegisterEditClass();
    RegisterRangeClasses();
    RegisterRichEditClass();
    static const bool hooked = AddProcessHooks(&RegisterWindowClassAtStart, nullptr);
    (void)hooked;
}

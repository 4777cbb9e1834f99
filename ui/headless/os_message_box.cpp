// Without a window system a box is a record of its last call.
#include "ui/os_message_box.h"

#include <string>

namespace {

OsMessageBoxCall g_last;
std::string g_text, g_caption;
int32_t g_answer = 1;

}  // namespace

int32_t OsMessageBox(void* owner, const char* text, const char* caption, uint32_t type) {
    g_text = text != nullptr ? text : "";
    g_caption = caption != nullptr ? caption : "";
    g_last.owner = owner;
    g_last.text = g_text.c_str();
    g_last.hasCaption = caption != nullptr;
    g_last.caption = g_caption.c_str();
    g_last.type = type;
    return g_answer;
}

const OsMessageBoxCall& OsLastMessageBox() { return g_last; }
void OsSetMessageBoxAnswer(int32_t answer) { g_answer = answer; }

// KORVA_gets: a modal dialog, built in memory at every call, that asks for one piece of text.
// There is no way to cancel it: Escape and the close box send IDCANCEL, which is ignored.
#include "korva/base/state.h"
#include "korva/console/console_paint.h"
#include "korva/console/dialog_template.h"

constexpr int PROMPT_BUFFER_SIZE = 256;

static INT_PTR CALLBACK prompt_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        korva_state.prompt_buffer = reinterpret_cast<char*>(lparam);
        return 1;  // the platform puts the focus on the first tab stop, the edit box
    case WM_COMMAND:
        // The whole word: BN_CLICKED (0) in the high half and the button's id in the low.
        if (wparam != static_cast<WPARAM>(PROMPT_OKAY_ID)) return 0;
        GetDlgItemTextA(dialog, PROMPT_EDIT_ID, korva_state.prompt_buffer, PROMPT_BUFFER_SIZE);
        EndDialog(dialog, 1);
        return 1;
    default:
        return 0;
    }
}

// A null destination has nowhere to put the text: the dialog is not shown and 0 returned.
int KORVA_gets(const char* prompt, char* destination) {
    if (destination == nullptr) return 0;
    if (korva_state.answer_prompt && korva_state.answer_prompt(prompt, destination)) return 1;
    // The dialog's loop takes the messages now, the console's paint among them.
    keep_console_paint_pending();
    PromptTemplate block;
    build_prompt_template(prompt, &block);
    INT_PTR result = DialogBoxIndirectParamA(korva_state.dialog_instance,
                                             reinterpret_cast<LPCDLGTEMPLATEA>(block.bytes),
                                             korva_state.graphics_window, prompt_dialog_proc,
                                             reinterpret_cast<LPARAM>(destination));
    return result != -1 ? 1 : 0;
}

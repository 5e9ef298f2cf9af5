// The prompt dialog driven through its real window: a thread timer fires inside the
// dialog's modal loop and plays one step per tick (type, press keys, close, click).
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "support/korva_session.h"

using Step = std::function<void(HWND dialog)>;

struct DialogDriver {
    std::vector<Step> steps;
    size_t done = 0;
    int ticks = 0;
    HWND seen = nullptr;
    bool forced = false;
};

static DialogDriver* driver = nullptr;

// Far more ticks than any script needs; past it the dialog is ended by force so that a
// broken dialog fails the test instead of hanging it.
constexpr int TICK_LIMIT = 400;

static void CALLBACK drive_dialog(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver& d = *driver;
    HWND dialog = FindWindowA("#32770", "KORVA_gets");
    if (++d.ticks > TICK_LIMIT) {
        if (dialog != nullptr) EndDialog(dialog, 0);
        d.forced = true;
        return;
    }
    if (dialog == nullptr) return;
    d.seen = dialog;
    if (d.done < d.steps.size()) d.steps[d.done++](dialog);
}

// Runs KORVA_gets while the steps play, one per timer tick, and checks they all ran.
static int run_gets(const char* prompt, char* destination, std::vector<Step> steps, DialogDriver& d) {
    d.steps = std::move(steps);
    driver = &d;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, drive_dialog);
    int result = KORVA_gets(prompt, destination);
    KillTimer(nullptr, timer);
    drain_messages();
    driver = nullptr;
    return result;
}

static HWND edit_of(HWND dialog) {
    return GetDlgItem(dialog, 102);
}

static Step type_text(const std::string& text) {
    return [text](HWND dialog) {
        for (unsigned char ch : text) SendMessageA(edit_of(dialog), WM_CHAR, ch, 1);
    };
}

static Step set_text(const std::string& text) {
    return [text](HWND dialog) { SetDlgItemTextA(dialog, 102, text.c_str()); };
}

static Step click_okay() {
    return [](HWND dialog) { SendMessageA(GetDlgItem(dialog, 101), BM_CLICK, 0, 0); };
}

static Step post_key(WPARAM key) {
    return [key](HWND dialog) {
        PostMessageA(edit_of(dialog), WM_KEYDOWN, key, 1);
        PostMessageA(edit_of(dialog), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    };
}

class Prompt : public ::testing::Test {
protected:
    void SetUp() override {
        open_korva_once();
        drain_messages();
        memset(destination, CANARY, sizeof destination);
    }

    static constexpr char CANARY = 0x5A;
    char destination[300];
};

static void expect_all_steps_ran(const DialogDriver& d, const char* what) {
    EXPECT_FALSE(d.forced) << what << ": the dialog had to be ended by force";
    EXPECT_EQ(d.steps.size(), d.done) << what << ": steps run";
}

TEST_F(Prompt, TypedTextIsReturned) {
    DialogDriver d;
    EXPECT_EQ(1, run_gets("Your name?", destination, {type_text("Mushi 42"), click_okay()}, d));
    expect_all_steps_ran(d, "typed text");
    EXPECT_STREQ("Mushi 42", destination);
    EXPECT_EQ(destination, korva_state.prompt_buffer);
}

struct EditCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST_F(Prompt, EditContentsComeBackAsTheEditBoxHoldsThem) {
    const EditCase cases[] = {
        {"empty edit box", "", ""},
        {"line breaks", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"255 characters", std::string(255, 'k'), std::string(255, 'k')},
        {"300 characters are cut to 255", std::string(150, 'a') + std::string(150, 'b'),
         std::string(150, 'a') + std::string(105, 'b')},
    };
    for (const EditCase& c : cases) {
        memset(destination, CANARY, sizeof destination);
        DialogDriver d;
        EXPECT_EQ(1, run_gets("Text?", destination, {set_text(c.text), click_okay()}, d)) << c.name;
        expect_all_steps_ran(d, c.name);
        EXPECT_EQ(c.expected, std::string(destination)) << c.name;
        for (size_t i = 256; i < sizeof destination; ++i)
            ASSERT_EQ(CANARY, destination[i]) << c.name << ": byte " << i << " written beyond 256";
    }
}

struct CloseAttempt {
    const char* name;
    Step attempt;
};

TEST_F(Prompt, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
    const CloseAttempt attempts[] = {
        {"Escape in the edit box", post_key(VK_ESCAPE)},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
        {"cancel command", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }},
    };
    for (const CloseAttempt& a : attempts) {
        memset(destination, CANARY, sizeof destination);
        DialogDriver d;
        HWND before = nullptr;
        bool open_after = false;
        std::vector<Step> steps = {
            set_text("still here"),
            [&before](HWND dialog) { before = dialog; },
            a.attempt,
            [](HWND) {},  // one more tick, so whatever the attempt posted is handled
            [&before, &open_after](HWND dialog) { open_after = dialog == before && IsWindow(dialog); },
            click_okay(),
        };
        EXPECT_EQ(1, run_gets("Cancel me?", destination, steps, d)) << a.name;
        expect_all_steps_ran(d, a.name);
        EXPECT_TRUE(open_after) << a.name << " ended the dialog";
        EXPECT_STREQ("still here", destination) << a.name;
    }
}

TEST_F(Prompt, EnterInTheEditBoxActsAsTheButton) {
    DialogDriver d;
    EXPECT_EQ(1, run_gets("Press Enter", destination, {type_text("entered"), post_key(VK_RETURN)}, d));
    expect_all_steps_ran(d, "Enter");
    EXPECT_STREQ("entered", destination);
}

struct Seen {
    std::string title;
    std::string prompt;
    std::wstring prompt_wide;
    std::string button;
    HWND owner = nullptr;
    HWND focus = nullptr;
    HWND edit = nullptr;
};

static Step look_at(Seen& seen) {
    return [&seen](HWND dialog) {
        char text[512] = {};
        GetWindowTextA(dialog, text, sizeof text);
        seen.title = text;
        GetDlgItemTextA(dialog, 103, text, sizeof text);
        seen.prompt = text;
        wchar_t wide[512] = {};
        GetDlgItemTextW(dialog, 103, wide, 512);
        seen.prompt_wide = wide;
        GetDlgItemTextA(dialog, 101, text, sizeof text);
        seen.button = text;
        seen.owner = GetWindow(dialog, GW_OWNER);
        seen.focus = GetFocus();
        seen.edit = edit_of(dialog);
    };
}

TEST_F(Prompt, DialogShowsTitleButtonAndThePromptPaddedTo79) {
    const std::string hundred = std::string(60, 'p') + std::string(40, 'q');
    const std::pair<std::string, std::string> cases[] = {
        {"Name?", "Name?" + std::string(74, ' ')},
        {"", std::string(79, ' ')},
        {hundred, hundred.substr(0, 79)},
    };
    for (const auto& c : cases) {
        DialogDriver d;
        Seen seen;
        EXPECT_EQ(1, run_gets(c.first.c_str(), destination, {look_at(seen), click_okay()}, d));
        expect_all_steps_ran(d, c.first.c_str());
        EXPECT_EQ("KORVA_gets", seen.title);
        EXPECT_EQ(c.second, seen.prompt) << "prompt \"" << c.first << "\"";
        EXPECT_EQ("Okay", seen.button);
        EXPECT_EQ(korva_state.graphics_window, seen.owner) << "the graphics window owns the dialog";
        EXPECT_EQ(seen.edit, seen.focus) << "the edit box has the focus";
    }
}

TEST_F(Prompt, BytesAbove0x7FAreShownAsLatin1) {
    DialogDriver d;
    Seen seen;
    EXPECT_EQ(1, run_gets("caf\xE9 \xFF", destination, {look_at(seen), click_okay()}, d));
    expect_all_steps_ran(d, "Latin-1 prompt");
    ASSERT_EQ(79u, seen.prompt_wide.size());
    EXPECT_EQ(std::wstring(L"caf\u00E9 \u00FF"), seen.prompt_wide.substr(0, 6));
}

TEST_F(Prompt, NullDestinationShowsNoDialogAndReturns0) {
    DialogDriver d;
    EXPECT_EQ(0, run_gets("Nowhere to put it", nullptr, {}, d));
    EXPECT_EQ(nullptr, d.seen);
}

TEST_F(Prompt, DialogThatCannotBeCreatedReturns0AndWritesNothing) {
    // An owner that is not a window makes the platform refuse to create the dialog.
    HWND owner = korva_state.graphics_window;
    korva_state.graphics_window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD0));
    DialogDriver d;
    int result = run_gets("Never shown", destination, {click_okay()}, d);
    korva_state.graphics_window = owner;
    EXPECT_EQ(0, result);
    EXPECT_EQ(nullptr, d.seen);
    EXPECT_EQ(CANARY, destination[0]) << "the destination was written";
}

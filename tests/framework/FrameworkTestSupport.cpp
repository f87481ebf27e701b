#include "FrameworkTestSupport.h"

#include "framework/WindowClass.h"

namespace {
TestApplication g_app;
}

TestApplication& TheApp()
{
    return g_app;
}

const char* TestClassName()
{
    static const bool registered =
        RegisterWindowClass("OstraFrameworkTest", CS_DBLCLKS, nullptr, nullptr, LoadCursor(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) != FALSE;
    return registered ? "OstraFrameworkTest" : "";
}

void DrainQueue()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

DialogTemplate::DialogTemplate(const wchar_t* caption, DWORD style)
{
    m_words.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* header = reinterpret_cast<DLGTEMPLATE*>(m_words.data());
    header->style = style | DS_SETFONT;
    header->cdit = 2;
    header->cx = 160;
    header->cy = 80;
    Add(0); // no menu
    Add(0); // the standard dialog class
    AddText(caption);
    Add(9);
    AddText(L"MS Shell Dlg");
    struct Item {
        DWORD style;
        WORD id;
        WORD classAtom;
        const wchar_t* text;
        short y;
    } items[] = {{WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 100, 0x0081, L"", 10},
                 {WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 0x0080, L"OK", 40}};
    for (const Item& item : items) {
        Align();
        size_t at = m_words.size();
        m_words.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
        auto* entry = reinterpret_cast<DLGITEMTEMPLATE*>(m_words.data() + at);
        entry->style = item.style;
        entry->x = 10;
        entry->y = item.y;
        entry->cx = 100;
        entry->cy = 14;
        entry->id = item.id;
        Add(0xFFFF);
        Add(item.classAtom);
        AddText(item.text);
        Add(0); // no creation data
    }
}

void DialogTemplate::AddText(const wchar_t* text)
{
    for (; *text; ++text)
        Add(static_cast<WORD>(*text));
    Add(0);
}

void DialogTemplate::Align()
{
    if (m_words.size() % 2) Add(0);
}

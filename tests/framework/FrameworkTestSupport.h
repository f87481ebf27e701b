#pragma once
// Shared pieces of the framework tests: the process's one application object,
// a registered framework window class and dialog templates built in memory.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Application.h"

class TestApplication : public Application {
  public:
    BOOL OnIdle(LONG idleCount) override
    {
        ++idleCalls;
        lastIdleCount = idleCount;
        return idleCount < idleRoundsWanted ? TRUE : FALSE;
    }
    int ExitInstance() override
    {
        ++exitCalls;
        return Application::ExitInstance();
    }
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (consume != 0 && message->message == consume) {
            ++consumed;
            return TRUE;
        }
        return FALSE;
    }
    BOOL InitInstance() override
    {
        ++initCalls;
        return TRUE;
    }
    int idleCalls = 0;
    LONG lastIdleCount = -1;
    LONG idleRoundsWanted = 0;
    int exitCalls = 0;
    int initCalls = 0;
    UINT consume = 0; // a message PreTranslateMessage takes for itself
    int consumed = 0;
};

TestApplication& TheApp();

// A class registered with the framework's window procedure.
const char* TestClassName();

// Dispatches whatever is queued for this thread without the application's loop.
void DrainQueue();

// A dialog template in memory: a caption, an edit control (id 100) and an
// OK button, in a DWORD-aligned buffer the dialog functions can read.
class DialogTemplate {
  public:
    DialogTemplate(const wchar_t* caption, DWORD style);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

  private:
    void Add(WORD word) { m_words.push_back(word); }
    void AddText(const wchar_t* text);
    void Align();
    std::vector<WORD> m_words;
};

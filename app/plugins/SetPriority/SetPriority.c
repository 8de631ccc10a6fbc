/*
 * SetPriority: a sample Tarnwick plug-in for processes (kind 1), in C.
 * Asks for a priority class (idle, normal, high) and gives it to every
 * selected process; failures are listed in one message box.
 */
#include "TarnwickPlugin.h"
#include "SetPriorityIds.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HINSTANCE g_instance;
static PluginInfo g_info;

typedef struct Texts {
    const char* pszTitle;
    const char* pszPromptOne;  /* %lu: process id */
    const char* pszPromptMany; /* %lu: count */
    const char* pszIdle;
    const char* pszNormal;
    const char* pszHigh;
    const char* pszCancel;
    const char* pszFailed;     /* header of the failure box */
    const char* pszFailure;    /* %lu pid, %lu error code, %s system text */
} Texts;

static const Texts g_english = {
    "Set Priority",
    "Priority class for process %lu:",
    "Priority class for the %lu selected processes:",
    "&Idle", "&Normal", "&High", "Cancel",
    "The priority class could not be set:",
    "Process %lu: error %lu: %s",
};

static const Texts g_german = {
    "Priorit\xE4t setzen",
    "Priorit\xE4tsklasse f\xFCr Prozess %lu:",
    "Priorit\xE4tsklasse f\xFCr die %lu ausgew\xE4hlten Prozesse:",
    "&Leerlauf", "&Normal", "&Hoch", "Abbrechen",
    "Die Priorit\xE4tsklasse konnte nicht gesetzt werden:",
    "Prozess %lu: Fehler %lu: %s",
};

static const Texts* CurrentTexts(void)
{
    return (g_info.wLanguageId & 0x3FF) == LANG_GERMAN ? &g_german : &g_english;
}

/* The selection, copied out of the record for the dialog's lifetime. */
typedef struct Job {
    DWORD* pids;
    DWORD count;
    DWORD priorityClass;
} Job;

static DWORD CurrentClass(DWORD pid)
{
    DWORD result = NORMAL_PRIORITY_CLASS;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process) {
        DWORD value = GetPriorityClass(process);
        if (value) result = value;
        CloseHandle(process);
    }
    return result;
}

static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Job* job = (Job*)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        const Texts* texts = CurrentTexts();
        char prompt[200];
        DWORD current;
        int button;
        job = (Job*)lParam;
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)lParam);
        SetWindowTextA(dialog, texts->pszTitle);
        if (job->count == 1)
            _snprintf(prompt, sizeof(prompt), texts->pszPromptOne, (unsigned long)job->pids[0]);
        else
            _snprintf(prompt, sizeof(prompt), texts->pszPromptMany, (unsigned long)job->count);
        prompt[sizeof(prompt) - 1] = '\0';
        SetDlgItemTextA(dialog, IDC_SP_PROMPT, prompt);
        SetDlgItemTextA(dialog, IDC_SP_IDLE, texts->pszIdle);
        SetDlgItemTextA(dialog, IDC_SP_NORMAL, texts->pszNormal);
        SetDlgItemTextA(dialog, IDC_SP_HIGH, texts->pszHigh);
        SetDlgItemTextA(dialog, IDCANCEL, texts->pszCancel);
        current = CurrentClass(job->pids[0]);
        button = current == IDLE_PRIORITY_CLASS ? IDC_SP_IDLE
               : current == HIGH_PRIORITY_CLASS ? IDC_SP_HIGH : IDC_SP_NORMAL;
        CheckRadioButton(dialog, IDC_SP_IDLE, IDC_SP_HIGH, button);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            job->priorityClass = IsDlgButtonChecked(dialog, IDC_SP_IDLE) ? IDLE_PRIORITY_CLASS
                               : IsDlgButtonChecked(dialog, IDC_SP_HIGH) ? HIGH_PRIORITY_CLASS
                               : NORMAL_PRIORITY_CLASS;
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    (void)lParam;
    return FALSE;
}

/* Appends one failure line; the text grows as needed. */
static char* AppendFailure(char* text, size_t* size, DWORD pid, DWORD error)
{
    char system[256] = "";
    char line[400];
    size_t used = text ? strlen(text) : 0;
    size_t length;
    char* grown;
    char* end;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, system,
                   sizeof(system), NULL);
    end = system + strlen(system);
    while (end > system && (end[-1] == '\r' || end[-1] == '\n' || end[-1] == ' ')) *--end = '\0';
    _snprintf(line, sizeof(line), CurrentTexts()->pszFailure, (unsigned long)pid, (unsigned long)error, system);
    line[sizeof(line) - 1] = '\0';
    length = strlen(line);
    if (used + length + 3 > *size) {
        size_t wanted = (used + length + 3) * 2;
        grown = (char*)realloc(text, wanted);
        if (!grown) return text;
        text = grown;
        *size = wanted;
    }
    memcpy(text + used, "\r\n", 2);
    memcpy(text + used + 2, line, length + 1);
    return text;
}

static int __cdecl Initialize(PluginInfo* info)
{
    /* The name is the menu text: in the interface's language. */
    info->pszName = (info->wLanguageId & 0x3FF) == LANG_GERMAN ? "Priorit\xE4t setzen" : "Set Priority";
    info->pszDescription = (info->wLanguageId & 0x3FF) == LANG_GERMAN ? "Setzt die Priorit\xE4tsklasse von Prozessen"
                                                                       : "Sets the priority class of processes";
    return 0;
}

static int __cdecl Finalize(PluginInfo* info)
{
    (void)info;
    return 0;
}

static int __cdecl Execute(PluginInfo* info)
{
    Job job;
    DWORD i;
    char* failures = NULL;
    size_t size = 0;
    INT_PTR answer;
    if (!info->pData || info->nCount == 0) return 0;
    job.count = info->nCount;
    job.pids = (DWORD*)malloc(job.count * sizeof(DWORD));
    if (!job.pids) return 0;
    memcpy(job.pids, TW_PLUGIN_PIDS(info), job.count * sizeof(DWORD));
    job.priorityClass = NORMAL_PRIORITY_CLASS;

    answer = DialogBoxParamA(g_instance, "SETPRIORITYDLG", info->hwndMain, DialogProc, (LPARAM)&job);
    if (answer != IDOK) {
        free(job.pids);
        return 0;
    }
    for (i = 0; i < job.count; ++i) {
        HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, job.pids[i]);
        DWORD error = 0;
        if (!process) error = GetLastError();
        else {
            if (!SetPriorityClass(process, job.priorityClass)) error = GetLastError();
            CloseHandle(process);
        }
        if (process == NULL || error) failures = AppendFailure(failures, &size, job.pids[i], error ? error : 5);
    }
    if (failures) {
        const Texts* texts = CurrentTexts();
        size_t length = strlen(texts->pszFailed) + strlen(failures) + 1;
        char* message = (char*)malloc(length);
        if (message) {
            strcpy(message, texts->pszFailed);
            strcat(message, failures);
            MessageBoxA(info->hwndMain, message, texts->pszTitle, MB_OK | MB_ICONWARNING);
            free(message);
        }
        free(failures);
    }
    free(job.pids);
    return 1; /* the views show the new priority classes */
}

static int __cdecl About(PluginInfo* info)
{
    const BOOL german = (info->wLanguageId & 0x3FF) == LANG_GERMAN;
    MessageBoxA(info->hwndMain,
                german ? "SetPriority 1.0\n\nSetzt die Priorit\xE4tsklasse der ausgew\xE4hlten Prozesse.\n"
                         "Ein Beispiel-Plugin f\xFCr Tarnwick."
                       : "SetPriority 1.0\n\nSets the priority class of the selected processes.\n"
                         "A sample plug-in for Tarnwick.",
                "SetPriority", MB_OK | MB_ICONINFORMATION);
    return 0;
}

TW_PLUGIN_EXPORT PluginInfo* __cdecl GetPluginInfo(void)
{
    g_info.dwVersion = TW_PLUGIN_VERSION;
    g_info.dwSize = sizeof(PluginInfo);
    g_info.pszName = "Set Priority";
    g_info.pszDescription = "Sets the priority class of processes";
    g_info.nKind = TW_PLUGIN_KIND_PROCESSES;
    g_info.Initialize = Initialize;
    g_info.Finalize = Finalize;
    g_info.Configure = NULL;
    g_info.Execute = Execute;
    g_info.About = About;
    return &g_info;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

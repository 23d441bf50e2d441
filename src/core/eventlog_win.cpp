#include "eventlog.h"

#include <windows.h>

void writeSystemEvent(const SystemEvent& event)
{
    const HANDLE source = RegisterEventSourceW(nullptr, L"Skyvane");
    if (!source)
        return;
    const WORD type = event.kind == SystemEvent::Kind::Error     ? EVENTLOG_ERROR_TYPE
                      : event.kind == SystemEvent::Kind::Warning ? EVENTLOG_WARNING_TYPE
                                                                 : EVENTLOG_INFORMATION_TYPE;
    // The message table's texts are "%1": the summary is the whole event.
    const std::wstring text = event.text.left(31000).toStdWString();
    LPCWSTR strings[] = {text.c_str()};
    ReportEventW(source, type, 0, DWORD(event.id), nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

#pragma once

#include <QString>

// One entry of the system's event log, of the source "Skyvane": on Windows
// the Application log (the installer registers the source and its message
// table), elsewhere nowhere.
struct SystemEvent
{
    enum class Kind
    {
        Information,
        Warning,
        Error
    };
    Kind kind = Kind::Information;
    int id = 0; // one of the message table's, resources/windows/eventmessages.mc
    QString text;
};

// The events' IDs, stable for those who collect them (docs/monitoring.md).
constexpr int nothingMissingEventId = 1000;
constexpr int patchesMissingEventId = 1001;
constexpr int checkFailedEventId = 1002;

// Writes the event; a log that cannot be written is passed over, as the run's
// own outputs tell the same.
void writeSystemEvent(const SystemEvent& event);

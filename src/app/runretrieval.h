#pragma once

#include "update/retrievalhost.h"

// How a run takes part in a retrieval: a notice or failure is shown (a line
// on the console, a message box on the desktop) and logged, and a failure is
// the run's status, after which no further request is sent. Nobody is asked
// for anything; the desktop's host does that.
class RunRetrievalHost : public RetrievalHost
{
public:
    bool retrievalAllowed() const override;
    bool asksUser() const override { return false; }
    void inform(const QString& title, const QString& text) override;
    void failed(const QString& title, const QString& message) override;
    void gaveUp() override;
};

#include "runretrieval.h"

#include "core/common.h"
#include "core/messages.h"

bool RunRetrievalHost::retrievalAllowed() const
{
    return Common::instance()->status != StatusCode::NetworkError;
}

void RunRetrievalHost::inform(const QString& title, const QString& text)
{
    showInformationMessage(title, text, nullptr);
}

void RunRetrievalHost::failed(const QString& title, const QString& message)
{
    reportError(title, message);
    Common::instance()->status = StatusCode::NetworkError;
}

void RunRetrievalHost::gaveUp()
{
    Common::instance()->status = StatusCode::NetworkError;
}

#include "DataMessages.h"

#include "data/DataSource.h"
#include "services/MsgBox.h"

namespace DataMessages {

void install() {
    DataSource::setDefaultErrorHandler(
        [](const QString& message) { MsgBox::show(message, MsgBox::OKOnly | MsgBox::Critical); });
    DataSource::setDefaultConflictHandler([](const QString& message) {
        return MsgBox::show(message, MsgBox::YesNo | MsgBox::Exclamation) == MsgBox::Yes;
    });
}

bool refresh(DataSource* source) {
    if (source->refresh())
        return true;
    if (!source->lastError().isEmpty())
        MsgBox::show(source->lastError(), MsgBox::OKOnly | MsgBox::Critical);
    return false;
}

} // namespace DataMessages

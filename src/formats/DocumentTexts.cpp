#include "DocumentTexts.h"

#include "Rtf.h"
#include "data/DocumentIndex.h"

namespace DocumentTexts {

void install() {
    DocumentIndex::setPlainText([](const QString& memo) { return Rtf::toPlainText(memo); });
}

} // namespace DocumentTexts

#include "ModuleHelp.h"

#include "Forms.h"

namespace ModuleHelp {
void ShowHelp() {
    Forms::show(QStringLiteral("FormHelp"));
}
} // namespace ModuleHelp

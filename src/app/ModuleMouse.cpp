#include "ModuleMouse.h"

#include "services/Pointer.h"

namespace ModuleMouse {
void PointerBusy() {
    Pointer::busy();
}
void PointerNormal() {
    Pointer::normal();
}
} // namespace ModuleMouse

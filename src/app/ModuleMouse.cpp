#include "ModuleMouse.h"

#include "platform/Pointer.h"

namespace ModuleMouse {
void PointerBusy() {
    Pointer::busy();
}
void PointerNormal() {
    Pointer::normal();
}
} // namespace ModuleMouse

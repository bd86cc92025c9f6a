#include "platform/screen.h"

#include "platform/standin/standin_state.h"

namespace tidewell {

int queryScreenDpi() {
    return standin::state().screenDpi;
}

} // namespace tidewell

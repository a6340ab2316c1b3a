#include "view/EditKeys.h"

#include <optional>

#include <QSettings>

#include "document/AppNames.h"

namespace editkeys {

namespace {
// Read from the profile once; every key in the edit box asks.
std::optional<bool>& cached() {
    static std::optional<bool> value;
    return value;
}
} // namespace

bool enterCommits() {
    if (!cached())
        cached() =
            QSettings(tavlo::kOrganisation, tavlo::kApplication).value(kProfileKey, false).toBool();
    return *cached();
}

void setEnterCommits(bool on) {
    cached() = on;
    QSettings settings(tavlo::kOrganisation, tavlo::kApplication);
    settings.setValue(kProfileKey, on);
    settings.sync();
}

} // namespace editkeys

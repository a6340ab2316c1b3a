#include "view/ClickSelect.h"

#include <optional>

#include <QSettings>

#include "document/AppNames.h"

namespace clickselect {

namespace {
// Read from the profile once; every click asks.
std::optional<bool>& cached() {
    static std::optional<bool> value;
    return value;
}
} // namespace

bool selectsOne() {
    if (!cached())
        cached() =
            QSettings(tavlo::kOrganisation, tavlo::kApplication).value(kProfileKey, true).toBool();
    return *cached();
}

void setSelectsOne(bool on) {
    cached() = on;
    QSettings settings(tavlo::kOrganisation, tavlo::kApplication);
    settings.setValue(kProfileKey, on);
    settings.sync();
}

} // namespace clickselect

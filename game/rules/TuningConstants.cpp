#include "game/rules/TuningConstants.h"

#include "framework/core/BasicProperties.h"

namespace {

TuningConstants constants;

}  // namespace

void TuningConstants::readFrom(BasicProperties& properties) {
#define QUOVEL_READ_INTEGER(Name) Name = properties.getInteger(#Name);
#define QUOVEL_READ_FLOAT(Name) Name = properties.getFloat(#Name);
    QUOVEL_TUNING_CONSTANTS(QUOVEL_READ_INTEGER, QUOVEL_READ_FLOAT)
#undef QUOVEL_READ_FLOAT
#undef QUOVEL_READ_INTEGER
}

const TuningConstants& tuning() {
    return constants;
}

void loadTuningConstants() {
    constants = TuningConstants();
    if (BasicProperties* properties = BasicProperties::instance()) {
        constants.readFrom(*properties);
    }
}

std::vector<std::string> missingTuningConstants() {
    const BasicProperties* properties = BasicProperties::instance();
    std::vector<std::string> missing;
#define QUOVEL_MISSING_INTEGER(Name)                     \
    if (!properties || !properties->hasInteger(#Name)) { \
        missing.emplace_back(#Name);                     \
    }
#define QUOVEL_MISSING_FLOAT(Name)                     \
    if (!properties || !properties->hasFloat(#Name)) { \
        missing.emplace_back(#Name);                   \
    }
    QUOVEL_TUNING_CONSTANTS(QUOVEL_MISSING_INTEGER, QUOVEL_MISSING_FLOAT)
#undef QUOVEL_MISSING_FLOAT
#undef QUOVEL_MISSING_INTEGER
    return missing;
}

#include "support/recordingservices.h"

common::Services RecordingServices::services() {
    return common::Services{sound, random, messages, end, errors};
}

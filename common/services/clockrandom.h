#pragma once

#include "services/randomsource.h"

#include <random>

namespace common {

class ClockRandom final : public RandomSource {
public:
    ClockRandom();
    void reseed() override;
    float next() override;

private:
    std::mt19937 m_engine;
};

} // namespace common

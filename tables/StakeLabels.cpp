#include "tables/StakeLabels.h"

#include "tables/TableLookup.h"

constexpr const char* const kStakeLabels[kStakeLabelCount] = {
    "점1천냥", "점3천냥", "점5천냥", "점1만냥", "점3만냥", "점5만냥", "점30만냥", "점100만냥", "점300만냥",
};

namespace {

constexpr int32_t kFallbackStake = 0;

}  // namespace

const char* StakeLabel(int32_t index) {
  return kStakeLabels[tables_detail::InTable<kStakeLabelCount>(index) ? index : kFallbackStake];
}

// The reason table. Spaces at the ends of the texts are part of them; "\n" breaks the
// box's lines.
#include "tables/ExitReasons.h"

namespace exit_reasons {
namespace {

constexpr const char* kCannotEnter = " 방에 입장할 수 없습니다. ";
constexpr Row kUnknown{-1, TextRule::kNone, "", 0, Outcome::kClose0, 0};

}  // namespace

constexpr Row kRows[kRowCount] = {
    {0, TextRule::kNone, "", 0, Outcome::kObserve, 0},
    {1, TextRule::kRobotRoomOnly, " 아이템 유효 기간 내에 입장하면 이어서 게임할 수 있습니다. ", 3000,
     Outcome::kClose1InRobotRoom, 0},
    {2, TextRule::kNone, "", 0, Outcome::kClose1, 0},
    {3, TextRule::kFixed, kCannotEnter, 3000, Outcome::kClose0, 0},
    {4, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {5, TextRule::kStakeLabel,
     "등급이 맞지 않아 방에 입장할 수 없습니다.\n%s채널로 이동하면 게임참여가 가능합니다.", 5000, Outcome::kClose0, 0},
    {6, TextRule::kStakeLabel,
     "등급이 맞지 않아 방에 입장할 수 없습니다.\n%s채널로 이동하면 게임참여가 가능합니다.", 5000, Outcome::kClose0, 0},
    {7, TextRule::kFixed, kCannotEnter, 3000, Outcome::kClose0, 0},
    {8, TextRule::kFixed, " 강제퇴장 당한 방이므로 입장할 수 없습니다. ", 3000, Outcome::kClose0, 1},
    {9, TextRule::kFixed, " 강제퇴장으로 방에서 나갑니다. ", 3000, Outcome::kClose0, 1},
    {10, TextRule::kMoneyShort, "소지머니가 부족하여, 게임에 참여할 수 없습니다.\n금고인출, 리필, 게임몰을 이용하세요.", 5000,
     Outcome::kObserveUnlessLeaving, 0},
    {11, TextRule::kInGameOnly, "먹튀방지금액 이상을 소지해야 게임에 참여할 수 있습니다.", 3000, Outcome::kClose0, 0},
    {12, TextRule::kNone, "", 0, Outcome::kClose6InAntiLeave, 0},
    {13, TextRule::kFixed, "빈 자리가 없습니다.", 5000, Outcome::kObserve, 0},
    {14, TextRule::kFixed, " 서버와의 연결이 끊어져 게임을 종료합니다. \n 이번 게임의 결과가 저장되지 않을 수 있습니다. ",
     6000, Outcome::kClose1, 0},
    {15, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {16, TextRule::kFixed, "죄송합니다.\n소지하신 머니가 너무 많아,\n해당채널에는 입장하실 수 없습니다.", 5000,
     Outcome::kClose0, 0},
    {17, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {18, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {19, TextRule::kFixed,
     "잠시 후 보다 안정적인 서비스 제공을 위한 쿠엘 임시점검(정기점검)이 시작됩니다.\n"
     "     고객님의 소중한 게임정보 보호를 위하여 자동으로 대기실로 이동됩니다.",
     3000, Outcome::kClose0, 0},
    {101, TextRule::kFixed, " \"토롱로봇 아이템\"이 없으므로 게임을 종료합니다. ", 3000, Outcome::kClose1, 0},
    {102, TextRule::kFixed, " 로봇이 올인되어 게임을 종료합니다. ", 3000, Outcome::kClose1, 0},
    {103, TextRule::kFixed, " 카르펜 결제를 위해 채널로 이동합니다. ", 3000, Outcome::kClose0, 0},
    {201, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {202, TextRule::kWithText, " \"토롱로봇\"의 유효기간(%s)이 지나 게임을 종료합니다.", 5000, Outcome::kClose1, 0},
    {203, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {204, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {205, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {206, TextRule::kNone, "", 0, Outcome::kClose0, 0},
    {207, TextRule::kFixed,
     " 오늘 이용할 수 있는 판수 제한에 걸리셨습니다. \n 게임아이템이나 스텔바 회원 서비스를 구매하시면 \n"
     " 판수제한 해제 혜택을 이용하실 수 있습니다. ",
     5000, Outcome::kObserve, 0},
    {300, TextRule::kNone, "", 0, Outcome::kClose1, 0},
};

const Row& RowOf(int32_t reason) {
  for (const Row& row : kRows) {
    if (row.reason == reason) return row;
  }
  return kUnknown;
}

}  // namespace exit_reasons

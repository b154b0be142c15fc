// The effect file table and its loading order.
#include "scene/SceneEffects.h"

namespace scene_effects {

const char* const Files[kCount] = {
    "room_join.ogg",        "room_exit.ogg",        "game_join.ogg",          "game_exit.ogg",
    "game_disconnect.ogg",  "start_default.ogg",    "start_promotion.ogg",    "game_start.ogg",
    "game_play.ogg",        "game_clear.ogg",       "hwatoo_sort.ogg",        "hwatoo_share.ogg",
    "hwatoo_move.ogg",      "hwatoo_put1.ogg",      "hwatoo_put2.ogg",        "hwatoo_put3.ogg",
    "hwatoo_put4.ogg",      "hwatoo_put5.ogg",      "hwatoo_open.ogg",        "btn_click.ogg",
    "notify_turn.ogg",      "notify_count.ogg",     "notify_shake.ogg",       "notify_bomb.ogg",
    "notify_mission.ogg",   "notify_decision.ogg",  "mission_complete.ogg",   "box_notify.ogg",
    "result_winner.ogg",    "result_loser.ogg",     "result_greatewinner.ogg", "result_greateloser.ogg",
    "daebak_stamp.ogg",     "pulse.ogg",            "snare.ogg",              "get_mission.ogg",
    "sound_moneybell.wav",  "shout_1gom.ogg",       "shout_1gof.ogg",         "shout_1gor.ogg",
    "shout_2gom.ogg",       "shout_2gof.ogg",       "shout_2gor.ogg",         "shout_3gom.ogg",
    "shout_3gof.ogg",       "shout_3gor.ogg",       "shout_4gom.ogg",         "shout_4gof.ogg",
    "shout_4gor.ogg",       "3go_win.ogg",          "3go_lose.ogg",           "capture.wav",
    "guseul_get.ogg",       "jokboalert.wav",
};

const int32_t LoadOrder[kCount] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
    30, 31, 18, 19, 20, 21, 22, 23, 25, 24, 26, 27, 28, 29, 32, 33, 34, 35,
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53,
};

}  // namespace scene_effects

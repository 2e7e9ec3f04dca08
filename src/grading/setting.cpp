#include "grading/setting.hpp"

#include "grading/wording.hpp"
#include "simulation/lab.hpp"

namespace counting_lab::grading {

double Setting::rate() const { return setting_rate(source, d_cm); }

std::string Setting::words() const {
    return (source > 0 ? "source " + std::to_string(source) : "d = " + fixed(d_cm, 2) + " cm") + ", " + plain(t_s) +
           " s";
}

Setting_faults setting_faults(const Typed_setting& typed) {
    Setting_faults faults;
    faults.source_and_distance = typed.source_typed && typed.distance_typed;
    faults.neither = !typed.source_typed && !typed.distance_typed;
    faults.no_such_source = typed.source && (*typed.source < 1 || *typed.source > static_cast<int>(sources.size()));
    faults.distance_outside = typed.d_cm && !distance_cm.contains(*typed.d_cm);
    faults.time_missing = !typed.time_typed;
    faults.time_outside = typed.t_s && !counting_time_s.contains(*typed.t_s);
    return faults;
}

}  // namespace counting_lab::grading

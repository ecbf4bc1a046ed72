#include "ScriptSteps.hpp"

#include <optional>

#include "model/WatchdogFlag.hpp"
#include "sim/Board.hpp"
#include "ui/Application.hpp"

namespace web {

bool playDueSteps(simulator::ScriptPlayer& script, std::uint64_t nowMs, simulator::InputLines* record,
                  std::uint64_t refreshMs, const std::function<void(const std::string& file)>& screenshot)
{
    bool quit = false;
    while (const std::optional<simulator::ScriptEvent> step = script.next(nowMs)) {
        switch (step->kind) {
        case simulator::ScriptEvent::Kind::Fingers:
        case simulator::ScriptEvent::Kind::Drag:
            sim::board::setFingers(step->fingers, step->fingerCount);
            if (record != nullptr) {
                record->fingers(refreshMs, step->fingers, step->fingerCount);
            }
            break;
        case simulator::ScriptEvent::Kind::Key:
            if (step->key == 'Q') {
                quit = true;
            } else if (step->key == 'M') {
                if (record != nullptr) {
                    record->key(refreshMs, 'M');
                }
                if (ui::Application* app = ui::Application::getInstance()) {
                    app->changeToStartScreen();
                }
            } else if (step->key == 'S' && screenshot) {
                screenshot("");
            }
            break;
        case simulator::ScriptEvent::Kind::WatchdogRefresh:
            watchdogRefreshEnabled = step->enable;
            if (record != nullptr) {
                record->watchdogRefresh(refreshMs, step->enable);
            }
            break;
        case simulator::ScriptEvent::Kind::Screenshot:
            if (screenshot) {
                screenshot(step->file);
            }
            break;
        }
    }
    return quit;
}

} // namespace web

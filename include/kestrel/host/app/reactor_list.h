// A list of reactors to notify, shared by the editor and the document manager. The list does not
// own its reactors. A reactor may add or remove reactors while it is notified: one removed before
// its turn is not called, one added during a notification first hears the next one.
#pragma once

#include <algorithm>
#include <vector>

namespace host {

// The reactors of one kind that a notifier calls, in the order they were added.
template <class Reactor>
class ReactorList {
public:
    // Adds reactor at the end; false for null or a reactor already listed (nothing changes).
    bool add(Reactor* reactor) {
        if (reactor == nullptr || contains(reactor)) {
            return false;
        }
        m_reactors.push_back(reactor);
        return true;
    }
    // Removes reactor; false when it was not listed.
    bool remove(Reactor* reactor) {
        auto found = std::find(m_reactors.begin(), m_reactors.end(), reactor);
        if (found == m_reactors.end()) {
            return false;
        }
        m_reactors.erase(found);
        return true;
    }
    bool contains(const Reactor* reactor) const {
        return std::find(m_reactors.begin(), m_reactors.end(), reactor) != m_reactors.end();
    }
    int size() const { return static_cast<int>(m_reactors.size()); }
    // The reactors in the order they were added.
    const std::vector<Reactor*>& reactors() const { return m_reactors; }

    // Calls the notification on every reactor of kind Target (Reactor or a class derived from
    // it), in the order they were added.
    template <class Target, class... Params, class... Args>
    void notify(void (Target::*notification)(Params...), Args&&... args) const {
        const std::vector<Reactor*> snapshot = m_reactors;
        for (Reactor* reactor : snapshot) {
            if (!contains(reactor)) {
                continue;
            }
            if (auto* target = dynamic_cast<Target*>(reactor)) {
                (target->*notification)(args...);
            }
        }
    }

private:
    std::vector<Reactor*> m_reactors;
};

}  // namespace host

#pragma once
// The base of the non-visual parts that refer to one another without owning each other (the tray
// icon, its popup menu and image list): a part that keeps a reference asks to be told when the
// other goes away, so that it drops the reference instead of keeping a dangling one.

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

class DestructionNotifier {
  public:
    DestructionNotifier() = default;
    DestructionNotifier(const DestructionNotifier&) = delete;
    DestructionNotifier& operator=(const DestructionNotifier&) = delete;
    virtual ~DestructionNotifier() {
        // A listener may remove or add notifications while it is told; it gets the list as it was.
        const auto listeners = std::move(listeners_);
        for (const auto& listener : listeners) {
            listener.second();
        }
    }

    // Calls onDestroyed when this part is destroyed; a listener has one notification per
    // part, so a second call replaces the first.
    void FreeNotification(const void* listener, std::function<void()> onDestroyed) {
        RemoveFreeNotification(listener);
        listeners_.emplace_back(listener, std::move(onDestroyed));
    }
    void RemoveFreeNotification(const void* listener) {
        listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                        [&](const auto& entry) { return entry.first == listener; }),
                         listeners_.end());
    }

  private:
    std::vector<std::pair<const void*, std::function<void()>>> listeners_;
};

// Points the holder's reference at target, which clears it when it is destroyed; the part
// referred to before is no longer watched. The holder sets a null target before it goes itself.
template <typename Target>
void SetReference(const void* holder, Target*& reference, Target* target) {
    if (reference) {
        reference->RemoveFreeNotification(holder);
    }
    reference = target;
    if (target) {
        target->FreeNotification(holder, [&reference] { reference = nullptr; });
    }
}

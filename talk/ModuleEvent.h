#pragma once
// One event on its way to a skin's script module: its name ("OnMouseClick")
// and up to eight reference texts. A reference that is absent (std::nullopt)
// sends no line at all; an empty one sends its header with an empty value.
// Texts are bytes in the system's ANSI code page.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

struct ModuleEvent {
    static constexpr std::size_t kReferenceCount = 8;

    std::string name;
    std::array<std::optional<std::string>, kReferenceCount> references;

    ModuleEvent() = default;
    // References 0, 1, ... in order; more than eight are dropped.
    // ModuleEvent("OnTest", {std::nullopt, std::string()}) has no reference 0
    // and an empty reference 1.
    ModuleEvent(std::string eventName, std::initializer_list<std::optional<std::string>> refs = {})
        : name(std::move(eventName))
    {
        std::size_t i = 0;
        for (const auto& ref : refs) {
            if (i == kReferenceCount) break;
            references[i++] = ref;
        }
    }
};

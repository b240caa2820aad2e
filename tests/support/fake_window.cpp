#include "fake_window.h"

#include <algorithm>

namespace sousuo::testing {

void EventLog::add(std::string entry) {
    const std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
}

std::vector<std::string> EventLog::entries() const {
    const std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> EventLog::matching(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const auto& entry : entries()) {
        if (entry.rfind(prefix, 0) == 0) result.push_back(entry);
    }
    return result;
}

void EventLog::clear() {
    const std::lock_guard lock(mutex_);
    entries_.clear();
}

namespace {

std::string describe(const PropertyValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    if (const auto* text = std::get_if<Text>(&value)) return *text;
    return std::to_string(std::get<Bytes>(value).size()) + " bytes";
}

std::string key(Control control, int index) {
    return std::string(controlName(control)) + "." + std::to_string(index);
}

}  // namespace

FakeWindow::FakeWindow(EventLog& log) : log_(log) {
    // The layout's places and sizes, with the window centred on a 1280 x 1024 screen.
    values_[{Control::mainWindow, prop::left}] = std::int32_t{412};
    values_[{Control::mainWindow, prop::top}] = std::int32_t{495};
    values_[{Control::mainWindow, prop::width}] = std::int32_t{455};
    values_[{Control::mainWindow, prop::height}] = std::int32_t{33};
    values_[{Control::mainWindow, prop::caption}] = Text("1.0");
    values_[{Control::queryEdit, prop::text}] = Text();
    std::intptr_t handle = 0x100;
    for (Control control : AllControls) handles_[control] = handle++;
}

PropertyValue FakeWindow::readProperty(Control control, int index) {
    log_.add("read " + key(control, index));
    return get(control, index);
}

void FakeWindow::writeProperty(Control control, int index, const PropertyValue& value) {
    PropertyValue stored = value;
    if (auto* number = std::get_if<std::int32_t>(&stored)) {
        if (index == prop::left || index == prop::top) *number = clampPosition(*number);
        if (index == prop::width || index == prop::height) *number = clampSize(*number);
        if (index == prop::displayMode && control != Control::mainWindow) {
            *number = clampDisplayMode(*number);
        }
    }
    log_.add("write " + key(control, index) + "=" + describe(stored));
    set(control, index, std::move(stored));
}

std::intptr_t FakeWindow::windowHandleOf(Control control) {
    const std::lock_guard lock(mutex_);
    return handles_[control];
}

std::intptr_t FakeWindow::sendMessageTo(Control control, std::uint32_t message, std::intptr_t first,
                                        std::intptr_t second) {
    log_.add("message " + std::string(controlName(control)) + " " + std::to_string(message) + " " +
             std::to_string(first) + " " + std::to_string(second));
    return 0;
}

void FakeWindow::set(Control control, int index, PropertyValue value) {
    const std::lock_guard lock(mutex_);
    values_[{control, index}] = std::move(value);
}

PropertyValue FakeWindow::get(Control control, int index) const {
    const std::lock_guard lock(mutex_);
    const auto found = values_.find({control, index});
    if (found == values_.end()) return std::int32_t{0};
    return found->second;
}

std::int32_t FakeWindow::getInt(Control control, int index) const {
    const PropertyValue value = get(control, index);
    const auto* number = std::get_if<std::int32_t>(&value);
    return number ? *number : 0;
}

Text FakeWindow::getText(Control control, int index) const {
    const PropertyValue value = get(control, index);
    const auto* text = std::get_if<Text>(&value);
    return text ? *text : Text();
}

Bytes FakeWindow::getBytes(Control control, int index) const {
    const PropertyValue value = get(control, index);
    const auto* bytes = std::get_if<Bytes>(&value);
    return bytes ? *bytes : Bytes();
}

void FakeWindow::setHandle(Control control, std::intptr_t handle) {
    const std::lock_guard lock(mutex_);
    handles_[control] = handle;
}

}  // namespace sousuo::testing

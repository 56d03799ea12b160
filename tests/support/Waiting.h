#pragma once
// Waiting for a condition with a bound, instead of sleeping for a fixed time.
#include <windows.h>

#include <functional>

namespace r512::testkit {

// Polls condition every few milliseconds until it holds (true) or timeoutMs has passed (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

}  // namespace r512::testkit

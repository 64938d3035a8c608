#pragma once

namespace vtr8 {

// Whether a write reads its blocks back ("Ověřit zápis"): the person's choice, kept in the
// per-user store as VerifyWrite. Off until chosen, so a write takes its usual time.
bool LoadWriteVerification();
void SaveWriteVerification(bool on);

} // namespace vtr8

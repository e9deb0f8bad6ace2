#pragma once
// Makes the skinned controls that Qt cannot read by itself readable to screen readers: their
// accessibility interfaces are made by one factory, installed once by the first such control.

namespace pestrel {

void InstallSkinAccessibility();

} // namespace pestrel

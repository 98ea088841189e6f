// The snow cover: where flakes come to rest (cover region) and where the
// cover may grow (room region), along the ground and inside the mask.
#pragma once

// Binds the saver window, fetches its DC as the working DC, measures the
// screen and rebuilds cover and room from scratch.
void MeasureScreen();
void BuildCover();
void BuildRoom();
void RebuildCover();

void ApplySnowOnMask(int newValue, int oldValue);
void ApplySnowOnGround(int newValue, int oldValue);
void ApplySnowDepth(int newValue, int oldValue);

// splash.h: the start-up splash: an image faded in and out over black, with its sound.
//
// Optional: without its image file nothing is shown. It runs its own small drawing loop before
// the editor's frame loop starts, and releases everything it loaded before it returns.
#pragma once

#include "raylib.h"

constexpr const char *kSplashImage = "resources/startup/splash.png";
constexpr const char *kSplashSound = "resources/startup/splash.wav";
constexpr long kSplashSoundMaxBytes = 16 * 1024 * 1024;
constexpr float kSplashFadeIn = 0.5f;
constexpr float kSplashHoldEnd = 2.2f;     // fade-in plus hold
constexpr float kSplashEnd = 2.7f;         // after the fade-out

// Shows the splash until its end, a skip to its fade-out, or a close request.
void ShowSplashScreen(void);
// Opacity of the image at time t (seconds since the start).
float SplashOpacity(float t);
// The image of size (iw, ih) fitted whole into the screen and centred.
Rectangle SplashFit(int screenW, int screenH, int iw, int ih);

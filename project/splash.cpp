// splash.cpp: the start-up splash screen.
#include "project/splash.h"

#include <cstdlib>

#include "platform/platform.h"
#include "project/model_load.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ShowSplashScreen(void)
{
    // Only regular files of bounded size are read: a named pipe in their place would block the
    // start-up, and a huge image would take all the memory.
    Texture2D image = LoadCheckedTexture(kSplashImage);
    if (image.id == 0) return;   // no image: no splash and no sound
    SetTextureFilter(image, TEXTURE_FILTER_BILINEAR);
    Sound sound = {};
    bool playing = false;
    unsigned char *wav = nullptr;
    long wavSize = 0;
    if (IsAudioDeviceReady() && PlatformReadRegularFile(kSplashSound, kSplashSoundMaxBytes, &wav, &wavSize)) {
        Wave wave = LoadWaveFromMemory(".wav", wav, (int)wavSize);
        free(wav);
        sound = LoadSoundFromWave(wave);
        UnloadWave(wave);
        if (sound.frameCount != 0) {
            PlaySound(sound);
            playing = true;
        }
    }

    float t = 0.0f;
    while (t < kSplashEnd && !WindowShouldClose()) {
        t += GetFrameTime();
        // A key or a click skips to the fade-out, which still plays in full.
        if (t < kSplashHoldEnd && (GetKeyPressed() != 0 || IsMouseButtonPressed(MOUSE_BUTTON_LEFT) ||
                                   IsMouseButtonPressed(MOUSE_BUTTON_RIGHT))) {
            t = kSplashHoldEnd;
        }
        Rectangle dest = SplashFit(GetScreenWidth(), GetScreenHeight(), image.width, image.height);
        BeginDrawing();
        ClearBackground(BLACK);
        DrawTexturePro(image, Rectangle{ 0.0f, 0.0f, (float)image.width, (float)image.height }, dest,
                       Vector2{ 0.0f, 0.0f }, 0.0f, Fade(WHITE, SplashOpacity(t)));
        EndDrawing();
    }

    if (playing) StopSound(sound);
    if (sound.frameCount != 0) UnloadSound(sound);
    UnloadTexture(image);
}

float SplashOpacity(float t)
{
    float a = 1.0f;
    if (t < kSplashFadeIn) a = t / kSplashFadeIn;
    else if (t > kSplashHoldEnd) a = 1.0f - (t - kSplashHoldEnd) / (kSplashEnd - kSplashHoldEnd);
    return a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
}

Rectangle SplashFit(int screenW, int screenH, int iw, int ih)
{
    if (iw <= 0 || ih <= 0) return Rectangle{ 0.0f, 0.0f, 0.0f, 0.0f };
    float scale = (float)screenH / (float)ih;
    if ((float)screenW / (float)iw < scale) scale = (float)screenW / (float)iw;
    float w = (float)iw * scale, h = (float)ih * scale;
    return Rectangle{ ((float)screenW - w) / 2.0f, ((float)screenH - h) / 2.0f, w, h };
}

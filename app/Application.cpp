// Placeholder.
#include "app/Application.h"
Application::Application() {}
Application::~Application() {}
int Application::Init() { return 0; }
int Application::Run() { return 0; }
void Application::Update() {}
void Application::Render() {}
void Application::HandleEvent(const SDL_Event&) {}
void Application::ApplyKeys(Uint8*) {}
int32_t RoundedLog10(double) { return 0; }

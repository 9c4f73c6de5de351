#pragma once
// GDI+ start-up and shut-down. The application object owns one session; tests that render without an
// application hold their own. Sessions nest: GDI+ runs while at least one is alive.
namespace ui {

class GdiPlusSession {
 public:
  GdiPlusSession();
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;
  static bool Running();
};

}  // namespace ui

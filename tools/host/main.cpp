// zebhost: plays the point-of-sale host from a script or from its arguments, one command per line or
// per argument (see CommandSummary). Stops at the first failing command with its message on stderr
// and exit code 1; a script that does not read exits with 2 before any command runs.
#include <cstdio>
#include <memory>
#include <optional>

#include "HostLib.h"
#include "Script.h"
#include "core/Exception.h"
#include "core/ScopeExit.h"
#include "core/Utf.h"
#include "win/WinText.h"

using namespace zebhost;

namespace {

void Write(FILE* to, const std::wstring& text) {
  std::string bytes = Utf16ToUtf8(ToU16(text)) + "\n";
  fputs(bytes.c_str(), to);
  fflush(to);
}

std::wstring Hex(unsigned long long v) {
  wchar_t b[24];
  swprintf(b, 24, L"0x%llX", v);
  return b;
}

class Runner {
 public:
  ~Runner() { UnloadScene(); }

  void Run(const Command& c) {
    const auto& a = c.args;
    const std::wstring& n = c.name;
    if (n == L"listen") {
      receiver_.reset();
      receiver_.emplace(static_cast<unsigned short>(ParseDecimal(a[0], 65535)));
      Write(stdout, L"listening on 127.0.0.1:" + std::to_wstring(receiver_->Port()));
      if (a.size() > 1) PrintDatagrams(ParseDecimal(a[1], 0x7FFFFFFF));
    } else if (n == L"wait-registration") {
      if (!receiver_) throw Exception(u"wait-registration needs a listen before it");
      const DWORD ms = ParseDecimal(a[0], 0x7FFFFFFF);
      std::optional<Datagram> d = receiver_->Receive(ms);
      if (!d) throw Exception(Ascii("no registration datagram within " + std::to_string(ms) + " ms"));
      Write(stdout, DescribeDatagram(*d));
    } else if (n == L"find") {
      HWND w = RequireDisplayWindow(a[0], a.size() > 1 ? ParseDecimal(a[1], 0x7FFFFFFF) : 0);
      Write(stdout, L"found \"" + a[0] + L"\" (" + Hex(reinterpret_cast<ULONG_PTR>(w)) + L")");
    } else if (n == L"send-check" || n == L"send-tag") {
      const bool check = n == L"send-check";
      const ULONG_PTR tag = check ? CHECK_DATA_TAG : ParseHexTag(a[1]);
      const std::wstring text = ReadUtf8File(a[check ? 1 : 2]);
      LRESULT answer = SendCopyData(RequireDisplayWindow(a[0]), tag, text);
      Write(stdout, L"sent " + std::to_wstring(text.size()) + L" characters with tag " + Hex(tag) + L" to \"" +
                        a[0] + L"\": answer " + std::to_wstring(answer));
    } else if (n == L"show" || n == L"hide") {
      HWND w = RequireDisplayWindow(a[0]);
      LRESULT answer = n == L"show" ? ShowDisplay(w) : HideDisplay(w);
      Write(stdout, n + L" \"" + a[0] + L"\": answer " + std::to_wstring(answer));
    } else if (n == L"sleep") {
      Wait(ParseDecimal(a[0], 0x7FFFFFFF));
    } else if (n == L"screenshot") {
      SaveScreenshot(a[0]);
      Write(stdout, L"screenshot " + a[0]);
    } else if (n == L"close") {
      PostClose(RequireDisplayWindow(a[0]));
      Write(stdout, L"close \"" + a[0] + L"\"");
    } else {
      RunScene(c);
    }
    if (advert_ && advert_->SceneEndedCount() != sceneEndedSeen_) {
      sceneEndedSeen_ = advert_->SceneEndedCount();
      Write(stdout, L"WM_SCENE_ENDED received (" + std::to_wstring(sceneEndedSeen_) + L" so far)");
    }
  }

 private:
  void PrintDatagrams(DWORD ms) {
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start)
      if (std::optional<Datagram> d = receiver_->Receive(ms - elapsed)) Write(stdout, DescribeDatagram(*d));
  }

  // Every scene call runs on this one thread, whose message loop turns while the script sleeps.
  void RunScene(const Command& c) {
    const auto& a = c.args;
    const std::wstring& n = c.name;
    if (n == L"scene-load") {
      if (scene_) throw Exception(u"a scene library is already loaded (scene-unload first)");
      if (!advert_) advert_ = std::make_unique<AdvertWindow>();
      scene_ = std::make_unique<SceneLibrary>(a[0]);
      Write(stdout, L"loaded " + a[0]);
      return;
    }
    if (n == L"scene-unload") {
      if (!scene_) throw Exception(u"no scene library is loaded");
      UnloadScene();
      Write(stdout, L"unloaded");
      return;
    }
    if (!scene_) throw Exception(ToU16(n) + u" needs a scene-load before it");
    const SceneExports& e = scene_->Exports();
    if (n == L"scene-create") {
      e.SceneCreate();
    } else if (n == L"scene-parameters") {
      const std::wstring parameters = ReadUtf8File(a[0]), menu = ReadUtf8File(a[1]);
      e.SceneParameters(parameters.c_str(), menu.c_str());
    } else if (n == L"scene-start") {
      e.SceneAnimationsStart(TRUE);
    } else if (n == L"scene-stop") {
      e.SceneAnimationsStop();
    } else if (n == L"scene-destroy") {
      e.SceneDestroy();
    } else if (n == L"scene-screenshot") {
      ZebSceneBitmap* picture = e.SceneScreenshot();
      if (!picture) throw Exception(u"SceneScreenshot returned no picture (out of memory)");
      auto freePicture = ScopeExit([picture] { picture->functions->Free(picture); });
      SaveScenePicture(*picture, a[0]);
      Write(stdout, n + L" " + a[0]);
      return;
    }
    Write(stdout, n);
  }

  // A live scene is destroyed before its library goes.
  void UnloadScene() {
    if (!scene_) return;
    scene_->Exports().SceneDestroy();
    scene_.reset();
  }

  std::optional<UdpReceiver> receiver_;
  std::unique_ptr<AdvertWindow> advert_;
  std::unique_ptr<SceneLibrary> scene_;
  int sceneEndedSeen_ = 0;
};

int Usage() {
  Write(stderr, L"usage: zebhost -f <script file>\n       zebhost \"<command> <arguments>\" ...\ncommands:\n" +
                    CommandSummary());
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<Command> commands;
  try {
    if (argc < 2) return Usage();
    if (std::wstring(argv[1]) == L"-f") {
      if (argc != 3) return Usage();
      commands = ParseScript(ReadUtf8File(argv[2]));
    } else {
      for (int i = 1; i < argc; ++i)
        if (auto c = ParseCommand(argv[i], i)) commands.push_back(std::move(*c));
    }
  } catch (const std::exception& e) {
    Write(stderr, L"zebhost: " + ToW(Utf8ToUtf16(e.what())));
    return 2;
  }
  try {
    Runner runner;
    for (const Command& c : commands) {
      try {
        runner.Run(c);
      } catch (const std::exception& e) {
        Write(stderr, L"zebhost: line " + std::to_wstring(c.line) + L" (" + c.name + L"): " +
                          ToW(Utf8ToUtf16(e.what())));
        return 1;
      }
    }
  } catch (const std::exception& e) {
    Write(stderr, L"zebhost: " + ToW(Utf8ToUtf16(e.what())));
    return 1;
  }
  return 0;
}

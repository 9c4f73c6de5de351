#include "shared/uUtils.h"

#include <atomic>
#include <mutex>

#include "core/Exception.h"

namespace {
std::atomic<long> g_live{0};
}

// What the delay and its holders both reach. `self` is cleared, under the lock, by the delay's
// destructor; the holders touch the delay only through it.
struct TTimerThread::Shared {
  std::mutex lock;
  TTimerThread* self = nullptr;
  bool started = false;
};

// One per holder group: lets go of a never-started delay when the last holder does.
struct TTimerThreadRef::Token {
  explicit Token(std::shared_ptr<TTimerThread::Shared> s) : shared(std::move(s)) {}
  Token(const Token&) = delete;
  Token& operator=(const Token&) = delete;
  std::shared_ptr<TTimerThread::Shared> shared;
  ~Token() {
    std::lock_guard<std::mutex> g(shared->lock);
    if (shared->self && !shared->started) {
      SetEvent(shared->self->FTickEvent.Get());
      shared->started = true;
      ResumeThread(shared->self->thread_.Get());
    }
  }
};

TTimerThread::TTimerThread(HWND Parent, std::shared_ptr<Shared> shared)
    : FTickEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)), FParent(Parent), shared_(std::move(shared)) {
  ++g_live;
}

TTimerThread::~TTimerThread() {
  {
    std::lock_guard<std::mutex> g(shared_->lock);
    shared_->self = nullptr;
  }
  // The handles go only now, when no holder can reach them through `self` any more.
  FTickEvent.Reset();
  thread_.Reset();
  --g_live;
}

long TTimerThread::LiveCount() { return g_live.load(); }

TTimerThreadRef TTimerThread::Create(bool CreateSuspended, HWND Parent) {
  auto shared = std::make_shared<Shared>();
  auto* delay = new TTimerThread(Parent, shared);
  delay->thread_.Reset(CreateThread(nullptr, 0, &TTimerThread::ThreadProc, delay, CREATE_SUSPENDED, nullptr));
  if (!delay->thread_) {
    delete delay;
    throw Exception(u"Thread creation error");
  }
  shared->self = delay;
  TTimerThreadRef ref(shared);
  if (!CreateSuspended) ref.Start();
  return ref;
}

DWORD WINAPI TTimerThread::ThreadProc(void* self) {
  auto* delay = static_cast<TTimerThread*>(self);
  delay->Execute();
  delete delay;
  return 0;
}

void TTimerThread::Execute() {
  // A missing event makes the wait fail at once: nothing is posted.
  if (WaitForSingleObject(FTickEvent.Get(), static_cast<DWORD>(Interval)) == WAIT_TIMEOUT)
    PostMessageW(FParent, WM_APPLY_DATA, 0, 0);
}

TTimerThreadRef::TTimerThreadRef(std::shared_ptr<TTimerThread::Shared> shared)
    : token_(std::make_shared<Token>(std::move(shared))) {}

void TTimerThreadRef::SetInterval(int32_t ms) {
  if (!token_) return;
  std::lock_guard<std::mutex> g(token_->shared->lock);
  if (token_->shared->self && !token_->shared->started) token_->shared->self->Interval = ms;
}

int32_t TTimerThreadRef::Interval() const {
  if (!token_) return 0;
  std::lock_guard<std::mutex> g(token_->shared->lock);
  return token_->shared->self ? token_->shared->self->Interval : 0;
}

void TTimerThreadRef::Start() {
  if (!token_) return;
  std::lock_guard<std::mutex> g(token_->shared->lock);
  auto& s = *token_->shared;
  if (s.self && !s.started) {
    s.started = true;
    ResumeThread(s.self->thread_.Get());
  }
}

void TTimerThreadRef::FinishThreadExecution() {
  if (!token_) return;
  std::lock_guard<std::mutex> g(token_->shared->lock);
  if (token_->shared->self) SetEvent(token_->shared->self->FTickEvent.Get());
}

bool TTimerThreadRef::Ended() const {
  if (!token_) return true;
  std::lock_guard<std::mutex> g(token_->shared->lock);
  return token_->shared->self == nullptr;
}

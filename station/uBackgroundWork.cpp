#include "station/uBackgroundWork.h"

#include <chrono>
#include <future>
#include <memory>

namespace orbis {

void TQueuedNotifier::post(std::function<void(UserNotifier&)> call) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        queue_.push_back(std::move(call));
    }
    answered_.notify_all();
}

void TQueuedNotifier::message(const std::string& caption, const std::string& text, MessageIcon icon) {
    post([=](UserNotifier& n) { n.message(caption, text, icon); });
}

bool TQueuedNotifier::ask(const std::string& caption, const std::string& text) {
    return answer([=](UserNotifier& n) { return n.ask(caption, text); });
}

bool TQueuedNotifier::question(const TDiagnostic& diagnostic) {
    return answer([=](UserNotifier& n) { return n.question(diagnostic); });
}

bool TQueuedNotifier::answer(std::function<bool(UserNotifier&)> asking) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> reply = answer->get_future();
    {
        std::lock_guard lock(mutex_);
        if (closed_ || cancelled_) return false;
        queue_.push_back([answer, asking = std::move(asking)](UserNotifier& n) { answer->set_value(asking(n)); });
    }
    // The owner may stop delivering (cancel, close): the question is then
    // answered no rather than waited for without end.
    while (reply.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        std::lock_guard lock(mutex_);
        if (closed_ || cancelled_) return false;
    }
    try {
        return reply.get();
    } catch (const std::future_error&) {
        return false;  // dropped unanswered when the owner closed
    }
}

void TQueuedNotifier::report(const TDiagnostic& diagnostic) {
    post([=](UserNotifier& n) { n.report(diagnostic); });
}

void TQueuedNotifier::stage(const TDiagnostic& diagnostic) {
    post([=](UserNotifier& n) { n.stage(diagnostic); });
}

void TQueuedNotifier::stageEnd() {
    post([](UserNotifier& n) { n.stageEnd(); });
}

void TQueuedNotifier::record(const TDiagnostic& diagnostic) {
    post([=](UserNotifier& n) { n.record(diagnostic); });
}

void TQueuedNotifier::note(const std::string& text) {
    post([=](UserNotifier& n) { n.note(text); });
}

void TQueuedNotifier::status(const std::string& text) {
    post([=](UserNotifier& n) { n.status(text); });
}

void TQueuedNotifier::progressShow(int maximum) {
    post([=](UserNotifier& n) { n.progressShow(maximum); });
}

void TQueuedNotifier::progressPosition(int position) {
    post([=](UserNotifier& n) { n.progressPosition(position); });
}

void TQueuedNotifier::progressHide() {
    post([](UserNotifier& n) { n.progressHide(); });
}

std::size_t TQueuedNotifier::deliver() {
    std::deque<std::function<void(UserNotifier&)>> calls;
    {
        std::lock_guard lock(mutex_);
        calls.swap(queue_);
    }
    for (auto& call : calls) call(owner_);
    return calls.size();
}

void TQueuedNotifier::requestCancel() { cancelled_ = true; }

void TQueuedNotifier::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    queue_.clear();
}

TBackgroundWork::TBackgroundWork(UserNotifier& owner, std::function<void(UserNotifier&)> work)
    : notifier_(owner), thread_([this, work = std::move(work)] {
          try {
              work(notifier_);
          } catch (...) {
              error_ = std::current_exception();
          }
          finished_ = true;
      }) {}

TBackgroundWork::~TBackgroundWork() {
    notifier_.requestCancel();
    if (thread_.joinable()) thread_.join();
    notifier_.close();
}

void TBackgroundWork::wait() {
    while (!finished_) {
        if (deliver() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    thread_.join();
    deliver();
    if (error_) std::rethrow_exception(error_);
}

}  // namespace orbis

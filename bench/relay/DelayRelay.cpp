// A TCP relay that holds every byte for a fixed time in each direction: a network with
// a round trip of twice that time, on one machine (the share benchmark puts it between
// ssh and its sshd). It listens on a free port of 127.0.0.1, prints that port on
// standard output, and forwards each connection to 127.0.0.1:TARGET_PORT.
//   delay_relay DELAY_MICROSECONDS TARGET_PORT
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One direction of one connection: what is read from `from` is written to `to` once
// `delay` has passed since it arrived. Reading never waits for writing, so the delay
// adds to each round trip without limiting the throughput.
class DelayedDirection {
public:
    DelayedDirection(int from, int to, Clock::duration delay) : from_(from), to_(to), delay_(delay) {}

    void run()
    {
        std::thread writer([this] { writeWhenDue(); });
        readAll();
        writer.join();
    }

private:
    struct Chunk {
        Clock::time_point due;
        std::vector<char> bytes; // empty: the sender closed its side
    };

    void readAll()
    {
        std::vector<char> buffer(1 << 16);
        for (;;) {
            const ssize_t n = ::read(from_, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            push({Clock::now() + delay_, n > 0 ? std::vector<char>(buffer.begin(), buffer.begin() + n) : std::vector<char>{}});
            if (n <= 0)
                return;
        }
    }

    void writeWhenDue()
    {
        bool broken = false; // the receiver is gone: what still arrives is dropped
        for (;;) {
            Chunk chunk = pop();
            if (chunk.bytes.empty()) {
                ::shutdown(to_, SHUT_WR);
                return;
            }
            std::this_thread::sleep_until(chunk.due);
            for (size_t done = 0; !broken && done < chunk.bytes.size();) {
                const ssize_t n = ::send(to_, chunk.bytes.data() + done, chunk.bytes.size() - done, MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    broken = true;
                else
                    done += size_t(n);
            }
        }
    }

    void push(Chunk chunk)
    {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(chunk));
        }
        ready_.notify_one();
    }

    Chunk pop()
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !queue_.empty(); });
        Chunk chunk = std::move(queue_.front());
        queue_.pop_front();
        return chunk;
    }

    int from_;
    int to_;
    Clock::duration delay_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Chunk> queue_;
};

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void noDelay(int socket)
{
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void relay(int client, int targetPort, Clock::duration delay)
{
    const int target = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(targetPort);
    if (target < 0 || ::connect(target, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        std::perror("delay_relay: connect");
        ::close(client);
        if (target >= 0)
            ::close(target);
        return;
    }
    noDelay(client);
    noDelay(target);
    DelayedDirection up(client, target, delay);
    DelayedDirection down(target, client, delay);
    std::thread upThread([&up] { up.run(); });
    down.run();
    upThread.join();
    ::close(client);
    ::close(target);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: delay_relay DELAY_MICROSECONDS TARGET_PORT\n");
        return 2;
    }
    const auto delay = std::chrono::microseconds(std::atol(argv[1]));
    const int targetPort = std::atoi(argv[2]);
    std::signal(SIGPIPE, SIG_IGN);
    // Sleeps end within a microsecond, not the default 50 (every thread inherits it).
    ::prctl(PR_SET_TIMERSLACK, 1000UL);

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        std::perror("delay_relay: listen");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;) {
        const int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            std::perror("delay_relay: accept");
            return 1;
        }
        std::thread(relay, client, targetPort, delay).detach();
    }
}

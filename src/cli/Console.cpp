#include "cli/Console.h"

#include "platform/Terminal.h"
#include "platform/Text.h"
#include "util/CopyPace.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>

namespace console {

// A line for the terminal: the program's lines keep their line ends, and no other
// control character reaches the terminal, whatever text a line took in. A line that
// cannot be written (the reader went away: SIGPIPE is ignored, the write fails) is
// dropped; what the tool does does not depend on anyone reading it.
void writeText(std::FILE* stream, const QString& text, bool flush)
{
    const QByteArray bytes = escapedControls(text, Escaping::Lines).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    if (flush)
        std::fflush(stream);
}

void writeLine(std::FILE* stream, const QString& line, bool flush)
{
    writeText(stream, line + u'\n', flush);
}

void out(const QString& line)
{
    writeLine(stdout, line, true);
}

void outText(const QString& text)
{
    writeText(stdout, text, false);
}

void err(const QString& line)
{
    writeLine(stderr, line, false);
}

bool stdinIsTerminal() { return terminal::isTerminal(stdin); }
bool stderrIsTerminal() { return terminal::isTerminal(stderr); }

bool askYesNo(const QString& question)
{
    const QByteArray q = (question + QStringLiteral(" [y/N] ")).toLocal8Bit();
    std::fwrite(q.constData(), 1, size_t(q.size()), stderr);
    std::fflush(stderr);
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

PromptAnswer present(const Prompt& prompt)
{
    if (prompt.kind == PromptKind::Confirm)
        return stdinIsTerminal() && askYesNo(prompt.text) ? PromptAnswer::Yes : PromptAnswer::No;
    err(prompt.caption + QStringLiteral(": ") + prompt.text);
    return PromptAnswer::Ok;
}

CopyObserver progressBar()
{
    if (!stderrIsTerminal())
        return {};
    struct State {
        QElapsedTimer sinceDrawn;
        QElapsedTimer sinceStart;
        std::optional<CopyPace> pace; // the part done by what the work costs
        bool ended = false;     // the full bar is drawn, with its line end
        qint64 silentShown = 0; // the seconds the silence was last shown with
        qint64 bytesDrawn = -1, filesDrawn = -1;
    };
    auto state = std::make_shared<State>();
    state->sinceDrawn.start();
    const auto write = [](const QString& text) {
        const QByteArray bytes = text.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        std::fflush(stderr);
    };
    return [state, write](const CopyProgress& p) {
        // A share that stalls: the terminal hears why nothing moves, and that Ctrl-C
        // takes effect once the share answers (a process cannot leave a call to a
        // network file system before it returns).
        if (p.silentSeconds >= kSilentSecondsShown) {
            if (p.silentSeconds == state->silentShown)
                return true; // once a second
            write(QStringLiteral("\r\x1b[KThe upload folder has not answered for %1 s; the job goes on when it "
                                 "answers, Ctrl-C takes effect then.")
                      .arg(p.silentSeconds));
            state->silentShown = p.silentSeconds;
            return true;
        }
        if (state->silentShown > 0) {
            write(QStringLiteral("\r\x1b[K"));
            state->silentShown = 0;
        }
        const bool last = p.bytesDone >= p.bytesTotal && p.filesDone >= p.filesTotal;
        const bool moved = p.bytesDone != state->bytesDrawn || p.filesDone != state->filesDrawn;
        // A few redraws a second are plenty, and none while nothing moves.
        if (state->ended || (!last && (!moved || state->sinceDrawn.elapsed() < 100)))
            return true;
        state->sinceDrawn.restart();
        state->bytesDrawn = p.bytesDone;
        state->filesDrawn = p.filesDone;
        if (!state->pace) {
            state->pace.emplace(p.filesTotal, p.bytesTotal);
            state->sinceStart.start();
        }
        state->pace->update(state->sinceStart.elapsed(), p.filesDone, p.bytesDone);
        const int width = 30;
        const double share = state->pace->fraction();
        const int filled = int(share * width);
        const QString bar = QString(filled, u'#') + QString(width - filled, u'-');
        write(QStringLiteral("\r[%1] %2% %3/%4 files %5/%6 MiB %7")
                  .arg(bar)
                  .arg(int(share * 100), 3)
                  .arg(p.filesDone)
                  .arg(p.filesTotal)
                  .arg(p.bytesDone / 1048576)
                  .arg(p.bytesTotal / 1048576)
                  .arg(last ? QStringLiteral("\n") : QString()));
        state->ended = last;
        return true;
    };
}

} // namespace console

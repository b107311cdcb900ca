#pragma once
// Prompts for benchmarks: every dialog is cancelled, every message goes to stderr.

#include "common/prompts.h"

#include <cstdio>

class SilentPrompts : public Prompts {
 public:
  std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
  std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
  void message(const QString& text, const QString&, Icon) override
  {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  Answer question(const QString&, const QString&, const QList<Answer>&, Answer, Icon, int) override
  {
    return Answer::Closed;
  }
  std::optional<unsigned> chooseColor(unsigned) override { return std::nullopt; }
};

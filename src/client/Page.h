#pragma once
// The main window's pages, in the order of their tabs. A page added later is one more
// name here (before the end) and one more entry in kPages.
enum class Page : int { Welcome, Select, Message, Send };

// Every page, in tab order.
inline constexpr Page kPages[] = {Page::Welcome, Page::Select, Page::Message, Page::Send};

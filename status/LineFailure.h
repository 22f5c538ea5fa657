// How the status and record windows meet a send that fails: whether the user still needs to hear
// of it, given that the line's one owner reports a lost port itself.
#pragma once

// True when a send failure is news to the user: not when the line was reported lost since
// `lossesBefore` (a hang-up that made the send fail is taken in first), nor when the user was
// told that the port could not be opened.
bool SendFailureIsNews(int lossesBefore);

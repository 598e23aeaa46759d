#pragma once
// What Reset after a submission clears for the next project.
struct Client;

// Empties the selection. Unless the recipients are remembered (rememberTo), the sender
// line, the TO line, the subject and the recipient list go too, so that the next job
// never goes to the last project's people by accident; unless the message is
// remembered (rememberMessage), the message goes.
void ResetProject(Client& client, bool rememberTo, bool rememberMessage);

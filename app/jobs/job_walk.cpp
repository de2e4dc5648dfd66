#include "app/jobs/job_walk.h"

#include "app/jobs/job_list.h"

namespace vlx {
namespace {

// The neighbour is taken before the visitor runs, because the visitor may
// unlink or free the record; the stop record is fixed before the first visit
// so that records moved behind it are not visited again.
int walk(AppState* state, int listIndex, JobVisitor visitor, void* user, bool forward) {
  JobRecord* head = listHead(state, listIndex);
  if (!head || !visitor || !head->next) return 0;
  JobRecord* current = forward ? head->next : lastOf(head);
  JobRecord* stop = forward ? lastOf(head) : head->next;
  while (current && current != head) {
    JobRecord* following = forward ? current->next : current->prev;
    const bool last = current == stop;
    const int result = visitor(current, state, listIndex, user);
    if (result != 0) return result;
    if (last) return 0;
    current = following;
  }
  return 0;
}

}  // namespace

int walkForward(AppState* state, int listIndex, JobVisitor visitor, void* user) {
  return walk(state, listIndex, visitor, user, true);
}

int walkBackward(AppState* state, int listIndex, JobVisitor visitor, void* user) {
  return walk(state, listIndex, visitor, user, false);
}

}  // namespace vlx

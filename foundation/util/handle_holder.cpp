#include "foundation/util/handle_holder.h"

#include <unistd.h>

namespace vk2 {

void FdHandleTraits::Close(int fd) {
  // A close interrupted by a signal has still released the descriptor on Linux: never retry.
  ::close(fd);
}

}  // namespace vk2

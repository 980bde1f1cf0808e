/* The floor of register transactions over a pty: N register writes (address and data in one
 * write(), then the echo read) with nothing but write() and read().
 * Usage: kvt-pty-floor DEVICE N */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: kvt-pty-floor DEVICE N\n");
    return 2;
  }
  const int fd = open(argv[1], O_RDWR | O_NOCTTY);
  if (fd < 0) {
    perror(argv[1]);
    return 1;
  }
  struct termios settings;
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  tcsetattr(fd, TCSANOW, &settings);
  const long count = strtol(argv[2], NULL, 10);
  for (long i = 0; i < count; ++i) {
    const unsigned char request[2] = {0x19, (unsigned char)i};
    unsigned char echo = 0;
    if (write(fd, request, 2) != 2 || read(fd, &echo, 1) != 1 || echo != 0x19) {
      fprintf(stderr, "kvt-pty-floor: transaction %ld failed\n", i);
      return 1;
    }
  }
  close(fd);
  return 0;
}

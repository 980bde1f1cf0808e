/* The floor of register transactions over a pty: N register writes (address and data in one
 * write(), then the echo read), as kvt-cli makes them, with nothing but write() and read().
 * Prints two times in microseconds: from before open() to the first echo (a new client's wait
 * for kvt-sim, with one transaction; 0 when N is 0), and from open() to the end.
 * Usage: kvt-pty-floor DEVICE N */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

static long long microsecondsSince(const struct timespec* start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - start->tv_sec) * 1000000LL + (now.tv_nsec - start->tv_nsec) / 1000;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: kvt-pty-floor DEVICE N\n");
    return 2;
  }
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
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
  long long first = 0;
  for (long i = 0; i < count; ++i) {
    const unsigned char request[2] = {0x19, (unsigned char)i};
    unsigned char echo = 0;
    if (write(fd, request, 2) != 2 || read(fd, &echo, 1) != 1 || echo != 0x19) {
      fprintf(stderr, "kvt-pty-floor: transaction %ld failed\n", i);
      return 1;
    }
    if (i == 0) first = microsecondsSince(&start);
  }
  close(fd);
  printf("%lld %lld\n", first, microsecondsSince(&start));
  return 0;
}

earlier
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // R/W
// ==> end R/NW condition 
           > spi_adr          ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[5] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[4] : 1
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[3] : 1
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[2] : 0
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[1] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[0] : 1
// ==> end write address 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // RFU
// ==> end RFU condition 
           > spi_data         ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // D[7] : 0
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // D[6] : 0 : 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[5] : 1 : 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[4] : 1 : 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[3] : 1 : 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[2] : 1 : 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // D[1] : 0 : 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // D[0] : 0 :  WR(h19,h3C) 
// ==> end write data 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // R/W
// ==> end R/NW condition 
           > spi_adr          ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[5] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[4] : 1
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[3] : 1
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[2] : 0
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[1] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[0] : 1
// ==> end write address 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // RFU
// ==> end RFU condition 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[7] : L
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[6] : L : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[5] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[4] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[3] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[2] : H : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[1] : L : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[0] : L :  RD(h19,h3C,hFF) 
// ==> end read data with check 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // R/W
// ==> end R/NW condition 
           > spi_adr          ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[5] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[4] : 1
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[3] : 1
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[2] : 0
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[1] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[0] : 1
// ==> end write address 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // RFU
// ==> end RFU condition 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[7] : L
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[6] : L : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[5] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[4] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[3] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[2] : H : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[1] : L : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[0] : L :  RD(h19,h3C,hFF) 
// ==> end read data with check 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // R/W
// ==> end R/NW condition 
           > spi_adr          ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[5] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[4] : 1
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[3] : 1
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[2] : 0
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // A[1] : 0
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // A[0] : 1
// ==> end write address 
           >                  ------ U01ZZZZZ 011 UUUUUZ 0111 UUX; // RFU
// ==> end RFU condition 
           > spi_data         ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[7] : U
           > spi_data         ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[6] : U : 
           > spi_data         ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[5] : U : 
           > spi_data         ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // D[4] : U : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[3] : H : 
           > spi_data         ------ H11ZZZZZ 011 UUUUUZ 0111 UUX; // D[2] : H : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[1] : L : 
           > spi_data         ------ L11ZZZZZ 011 UUUUUZ 0111 UUX; // D[0] : L :  RD(h19,h0C,h0F) 
// ==> end read data with check 
           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // Sleep :  ==> Sleep operation for        2 ms 
repeat    50000 > - ; // Sleep
////< note 50%

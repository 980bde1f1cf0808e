earlier
       1 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
       2 Waveset1        1 :   000001 ZZ0ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end NSS Start 
       3 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! 
       4 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
       5 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5]
       6 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5] : 0
       7 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4]
       8 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4] : 1
       9 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3]
      10 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3] : 1
      11 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2]
      12 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2] : 0
      13 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1]
      14 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1] : 0
      15 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0]
      16 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
      17 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! 
      18 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end RFU condition 
      19 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7]
      20 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7] : 0
      21 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6]
      22 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6] : 0
      23 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5]
      24 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5] : 1
      25 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4]
      26 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4] : 1
      27 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3]
      28 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3] : 1
      29 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2]
      30 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2] : 1
      31 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1]
      32 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1] : 0
      33 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0]
      34 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0] : 0
! ==> end write data 
      35 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
      36 Waveset1        1 :   000001 ZZ0ZZZZZ 111 H1UUUZ 0111 UUX; !  WR(h19,h3C) 
! ==> end NSS End 
      37 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
      38 Waveset1        1 :   000001 ZZ0ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end NSS Start 
      39 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! 
      40 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
      41 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5]
      42 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5] : 0
      43 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4]
      44 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4] : 1
      45 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3]
      46 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3] : 1
      47 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2]
      48 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2] : 0
      49 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1]
      50 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1] : 0
      51 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0]
      52 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
      53 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! 
      54 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end RFU condition 
      55 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7]
      56 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7] : L
      57 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6]
      58 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6] : L
      59 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5]
      60 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5] : H
      61 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4]
      62 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4] : H
      63 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3]
      64 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3] : H
      65 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2]
      66 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2] : H
      67 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1]
      68 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1] : L
      69 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0]
      70 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end read data with check 
      71 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
      72 Waveset1        1 :   000001 ZZ0ZZZZZ 111 H1UUUZ 0111 UUX; !  RD(h19,h3C,hFF) 
! ==> end NSS End 
      73 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
      74 Waveset1        1 :   000001 ZZ0ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end NSS Start 
      75 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! 
      76 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
      77 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5]
      78 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5] : 0
      79 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4]
      80 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4] : 1
      81 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3]
      82 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3] : 1
      83 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2]
      84 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2] : 0
      85 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1]
      86 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1] : 0
      87 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0]
      88 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
      89 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! 
      90 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end RFU condition 
      91 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7]
      92 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7] : L
      93 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6]
      94 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6] : L
      95 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5]
      96 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5] : H
      97 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4]
      98 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4] : H
      99 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3]
     100 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3] : H
     101 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2]
     102 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2] : H
     103 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1]
     104 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1] : L
     105 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0]
     106 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end read data with check 
     107 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
     108 Waveset1        1 :   000001 ZZ0ZZZZZ 111 H1UUUZ 0111 UUX; !  RD(h19,h3C,hFF) 
! ==> end NSS End 
     109 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
     110 Waveset1        1 :   000001 ZZ0ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end NSS Start 
     111 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! 
     112 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end R/NW condition 
     113 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5]
     114 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[5] : 0
     115 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4]
     116 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[4] : 1
     117 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3]
     118 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[3] : 1
     119 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2]
     120 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[2] : 0
     121 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1]
     122 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! A[1] : 0
     123 Waveset1        1 :   000001 U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0]
     124 Waveset1        1 :   000001 U11ZZZZZ 011 H1UUUZ 0111 UUX; ! A[0] : 1
! ==> end write address 
     125 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! 
     126 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! 
! ==> end RFU condition 
     127 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7]
     128 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[7] : U
     129 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6]
     130 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[6] : U
     131 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5]
     132 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[5] : U
     133 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4]
     134 Waveset1        1 :   000001 U01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[4] : U
     135 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3]
     136 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[3] : H
     137 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2]
     138 Waveset1        1 :   000001 H01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[2] : H
     139 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1]
     140 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[1] : L
     141 Waveset1        1 :   000001 U00ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0]
     142 Waveset1        1 :   000001 L01ZZZZZ 011 H1UUUZ 0111 UUX; ! D[0] : L
! ==> end read data with check 
     143 Waveset1        1 :   000001 UZ0ZZZZZ 111 H1UUUZ 0111 UUX; ! 
     144 Waveset1        1 :   000001 ZZ0ZZZZZ 111 H1UUUZ 0111 UUX; !  RD(h19,h0C,h0F) 
! ==> end NSS End 
     145 Waveset1    50000 :   000001 ZZ0ZZZZZ U11 H1UUUZ 0111 UUX; !  ==> Sleep operation for        2 ms 
!//< note 50%

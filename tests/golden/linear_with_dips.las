~Version Information
 VERS.                  2.0 : CWLS Log ASCII Standard - version 2.0
 WRAP.                   NO : One line per depth step
~Well Information
 STRT.M              1000.0 : Start depth
 STOP.M              1016.7 : Stop depth
 STEP.M                   0 : Irregular sampling
 NULL.              -999.25 : Null value
 COMP.                      : Company
 WELL.                well7 : Well
 FLD.                       : Field
 LOC.                       : Location
 PROV.                      : Province
 SRVC.                      : Service company
 DATE.           2000-01-01 : Export date
 UWI.                       : Unique well identifier
~Curve Information
 DEPT.M                     : Depth
 DIP.DEG                    : Dip angle
 AZIM.DEG                   : Dip azimuth
 QUAL.                      : Quality grade, A to D as 1 to 4
~Other Information
Picture: well7.bmp
Dip scale: Linear Dip Scale, 0 to 90 degrees
~ASCII
      1000.0         0.0       360.0           1
      1005.0        45.0        45.0           2
      1010.0        67.5       270.3           4
      1016.7     -999.25        12.3           3
